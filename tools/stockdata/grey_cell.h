// A square image of 4-bit grey levels (0 background to 15 full ink), one
// level per pixel, row by row, as a glyph cell holds it before packing.
#pragma once

#include <cstdint>
#include <vector>

namespace qzf::stock {

class GreyCell {
 public:
  explicit GreyCell(std::uint32_t size) : size_(size), levels_(static_cast<std::size_t>(size) * size, 0) {}

  std::uint32_t size() const { return size_; }
  std::uint8_t at(std::uint32_t x, std::uint32_t y) const { return levels_[static_cast<std::size_t>(y) * size_ + x]; }
  // Ink adds up where two images overlap: the darker level wins. Pixels
  // outside the cell are dropped.
  void Ink(int x, int y, std::uint8_t level);
  bool IsBlank() const;

  // A plain square outline, the mark for a code without a drawable character.
  void DrawBox();

  // The cell's bytes in the file: S/2 bytes a row, left pixel in the low nibble.
  void PackInto(unsigned char* out) const;

 private:
  std::uint32_t size_;
  std::vector<std::uint8_t> levels_;
};

}  // namespace qzf::stock
