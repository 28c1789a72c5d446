// A picture sheet of glyph cells that an image editor opens: one size's
// cells in a grid, a gap of one pixel between cells and around them, and
// beside it an index of which cell sits where. Level L of a cell is the grey
// 255 - 17 L (level 0 white, 15 black); the gap is a colour that no grey is,
// so it never passes for ink. Reading a sheet back takes the cells only
// where every pixel is one of the 16 greys.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fontpatch/font_format.h"
#include "fontpatch/png_decoding.h"
#include "preview/canvas.h"

namespace qzf {

inline constexpr std::uint8_t SheetGrey(std::uint8_t level) { return static_cast<std::uint8_t>(255 - 17 * level); }
inline constexpr Rgb kSheetGap{240, 120, 40};
inline constexpr std::uint32_t kSheetGapWidth = 1;

struct SheetCell {
  std::uint32_t position = 0;  // in the code table
  std::uint16_t code = 0;
  std::optional<char32_t> character;  // what the cell shows, when known
  std::uint32_t column = 0;
  std::uint32_t row = 0;
};

struct SheetLayout {
  std::uint32_t cellSize = 0;
  std::uint32_t columns = 0;
  std::uint32_t rows = 0;

  std::uint32_t width() const { return kSheetGapWidth + columns * (cellSize + kSheetGapWidth); }
  std::uint32_t height() const { return kSheetGapWidth + rows * (cellSize + kSheetGapWidth); }
  // The top left pixel of a grid place.
  std::uint32_t CellX(std::uint32_t column) const { return kSheetGapWidth + column * (cellSize + kSheetGapWidth); }
  std::uint32_t CellY(std::uint32_t row) const { return kSheetGapWidth + row * (cellSize + kSheetGapWidth); }
};

struct GlyphSheet {
  SheetLayout layout;
  std::vector<SheetCell> cells;
};

// The cells in the order given, `columns` to a row; their grid places are
// set here.
GlyphSheet LayOutSheet(const GlyphSizeInfo& size, std::vector<SheetCell> cells, std::uint32_t columns);

// The sheet's RGB pixels, the cells read from a font file image (tested
// already).
std::vector<std::uint8_t> DrawSheet(std::span<const unsigned char> font, const GlyphSizeInfo& size,
                                    const GlyphSheet& sheet);

struct SheetImport {
  std::vector<SheetCell> changed;  // in the index's order
  std::string error;               // empty when it was taken
  explicit operator bool() const { return error.empty(); }
};

// Puts the sheet's cells into the font file image. Everything is checked
// before a byte changes: the picture's size, each cell's code against the
// file's code table, every cell pixel one of the 16 greys (opaque). Only the
// cells whose levels differ are written, so an untouched sheet changes
// nothing.
SheetImport ImportSheet(std::span<unsigned char> font, const GlyphSizeInfo& size, const GlyphSheet& sheet,
                        const DecodedPng& picture);

}  // namespace qzf
