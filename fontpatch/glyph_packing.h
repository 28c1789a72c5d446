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

// Where a glyph goes in its cell.
struct CellPlacement {
  std::int32_t baselineRow = 0;  // A: the cell row of the baseline (the font's ascent unless a style moves it)
  std::int32_t shiftX = 0;       // pixels right of where the bitmap's origin puts it
};

// Clears cell `cell` of `size`'s table, then copies the bitmap in: row j goes
// to cell row A + j - oy, byte k and k + 1 of a row (the pad included) to
// pixel column 2 * (ox / 2, toward zero) + shiftX + k, level 16 lowered to
// 15, the left pixel of a byte in the low nibble. With an even shift whole
// bytes are copied (two pixels at a time). Pixels outside the cell are
// dropped, and rows the bitmap's bytes do not hold are not read. The image
// must hold the table. The number of dropped pixels with ink (level > 0).
std::uint32_t PackGlyphIntoCell(std::span<unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell,
                                const CellPlacement& placement, const GlyphBitmap& glyph);

// The same on the cell's own bytes (bytesPerCell of them, rows of
// bytesPerRow), wherever they are.
std::uint32_t PackGlyphIntoCellBytes(std::span<unsigned char> cell, const GlyphSizeInfo& size,
                                     const CellPlacement& placement, const GlyphBitmap& glyph);

// The same with the baseline at `ascent` and no shift.
inline std::uint32_t PackGlyphIntoCell(std::span<unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell,
                                       std::int32_t ascent, const GlyphBitmap& glyph) {
  return PackGlyphIntoCell(image, size, cell, CellPlacement{ascent, 0}, glyph);
}

}  // namespace qzf
