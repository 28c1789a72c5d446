#include "preview/font_file_cells.h"

#include <algorithm>

namespace qzf {

FontFileCells::FontFileCells(std::span<const unsigned char> image) : image_(image), positions_(image.data()) {}

void FontFileCells::Levels(const GlyphSizeInfo& size, std::uint32_t position, std::span<std::uint8_t> out) const {
  const std::size_t pixels = std::size_t{size.cellSize} * size.cellSize;
  if (out.size() < pixels) return;
  const std::uint64_t offset = CellOffset(size, position);
  if (position >= kIndexedGlyphCount || offset + size.bytesPerCell > image_.size()) {
    std::fill_n(out.begin(), pixels, std::uint8_t{0});
    return;
  }
  // Low nibble the left pixel, high nibble the right one.
  const unsigned char* cell = image_.data() + offset;
  for (std::uint32_t i = 0; i < size.bytesPerCell; ++i) {
    out[2 * std::size_t{i}] = cell[i] & 0x0F;
    out[2 * std::size_t{i} + 1] = cell[i] >> 4;
  }
}

}  // namespace qzf
