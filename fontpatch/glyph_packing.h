// Packing one 4-bit grey glyph bitmap, as the font calls give it, into a cell
// of a glyph table.
#pragma once

#include <cstdint>
#include <span>

#include "fontpatch/font_format.h"

namespace qzf {

// What GGO_GRAY4_BITMAP gives for one character.
struct GlyphBitmap {
  std::uint32_t width;                   // black box width W
  std::uint32_t height;                  // black box height H
  std::int32_t originX;                  // ox: from the origin rightward to the box's left edge
  std::int32_t originY;                  // oy: from the baseline up to the box's top edge
  std::span<const unsigned char> bytes;  // H rows of 4 * ceil(W / 4) bytes, levels 0..16
};

// Bytes of one bitmap row: W rounded up to a multiple of four.
constexpr std::uint32_t GlyphRowPitch(std::uint32_t width) { return (width / 4 + (width % 4 != 0 ? 1 : 0)) * 4; }

// Clears cell `cell` of `size`'s table, then copies the bitmap in: row j goes
// to cell row ascent + j - oy, byte k and k + 1 of a row (the pad included)
// to byte column ox / 2 (toward zero) + k / 2, level 16 lowered to 15, the
// left pixel in the low nibble. Pixels outside the cell are dropped, and rows
// the bitmap's bytes do not hold are not read. The image must hold the table.
void PackGlyphIntoCell(std::span<unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell,
                       std::int32_t ascent, const GlyphBitmap& glyph);

}  // namespace qzf
