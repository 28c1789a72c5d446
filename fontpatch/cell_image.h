// A glyph cell drawn by hand: a PNG exactly the cell's size (20x20, 24x24 or
// 64x64) put into the cell as it is.
//
// The rule from pixels to the 16 levels: each pixel is laid over white and
// its darkness is ink. With grey g (0..255) and alpha a (255 where the
// picture has none):
//   ink   = a * (255 - g)                      (0 .. 65025)
//   level = (ink * 15 + 32512) / 65025         (0 .. 15, rounded)
// So an opaque picture gives level round((255 - g) / 17): grey 255 - 17 L
// gives exactly level L (white 0, black 15), and black paint on a
// transparent background gives its alpha as ink. A picture is greyscale when
// every pixel that is not fully transparent has equal red, green and blue;
// any other, and any other size, is refused.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fontpatch/font_format.h"
#include "fontpatch/png_decoding.h"

namespace qzf {

// The level of one pixel by the rule above.
constexpr std::uint8_t InkLevel(std::uint8_t grey, std::uint8_t alpha) {
  const unsigned ink = unsigned{alpha} * (255u - grey);
  return static_cast<std::uint8_t>((ink * 15u + 32512u) / 65025u);
}

struct CellImageResult {
  std::vector<std::uint8_t> levels;  // S x S, rows top first
  std::string error;                 // empty when taken: "is 32x32 pixels; a 24 px cell takes exactly 24x24"
  explicit operator bool() const { return error.empty(); }
};

CellImageResult CellImageLevels(const DecodedPng& picture, const GlyphSizeInfo& size);
// The same from the PNG file's bytes.
CellImageResult CellImageLevels(std::span<const unsigned char> pngFile, const GlyphSizeInfo& size);

// The cell's bytes as the font file holds them: two pixels a byte, the left
// one in the low nibble.
std::vector<unsigned char> PackCellLevels(std::span<const std::uint8_t> levels, const GlyphSizeInfo& size);

}  // namespace qzf
