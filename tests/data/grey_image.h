// A small grey image (levels 0 to 15) and the measures the font tests use to
// judge a glyph cell.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace qzf::test {

struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> levels;  // row by row

  std::uint8_t at(int x, int y) const { return levels[static_cast<std::size_t>(y) * width + x]; }
  bool IsBlank() const;
};

// A packed cell (S/2 bytes a row): with the low nibble as the left pixel, or,
// for comparison, the other way round.
GreyImage DecodeCell(std::span<const unsigned char> cell, int size, bool lowNibbleLeft = true);

// Sum of the level steps between horizontal neighbours: strokes decoded in
// the right pixel order are smooth, in the wrong order they zigzag.
long HorizontalRoughness(const GreyImage& image);

// How alike two glyphs are, whatever their placement: the images are laid
// over each other with their ink boxes' top-left corners together, and the
// result is the normalised correlation of the levels (1 for the same shape).
double InkCorrelation(const GreyImage& a, const GreyImage& b);

}  // namespace qzf::test
