#include "preview/glyph_sheet.h"

#include <algorithm>
#include <cstdio>

#include "fontpatch/cell_image.h"
#include "preview/font_file_cells.h"

namespace qzf {
namespace {

std::string Hex(std::uint16_t code) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(code));
  return text;
}

// The level of a sheet pixel, or nullopt when it is not one of the greys.
std::optional<std::uint8_t> SheetLevel(const std::uint8_t* rgba) {
  if (rgba[3] != 255 || rgba[0] != rgba[1] || rgba[1] != rgba[2] || (255 - rgba[0]) % 17 != 0) return std::nullopt;
  return static_cast<std::uint8_t>((255 - rgba[0]) / 17);
}

}  // namespace

GlyphSheet LayOutSheet(const GlyphSizeInfo& size, std::vector<SheetCell> cells, std::uint32_t columns) {
  GlyphSheet sheet;
  const auto count = static_cast<std::uint32_t>(cells.size());
  columns = std::max<std::uint32_t>(1, std::min(columns, std::max<std::uint32_t>(count, 1)));
  sheet.layout = SheetLayout{size.cellSize, columns, (count + columns - 1) / columns};
  if (sheet.layout.rows == 0) sheet.layout.rows = 1;
  for (std::uint32_t i = 0; i < count; ++i) {
    cells[i].column = i % columns;
    cells[i].row = i / columns;
  }
  sheet.cells = std::move(cells);
  return sheet;
}

std::vector<std::uint8_t> DrawSheet(std::span<const unsigned char> font, const GlyphSizeInfo& size,
                                    const GlyphSheet& sheet) {
  const SheetLayout& layout = sheet.layout;
  const std::size_t width = layout.width();
  std::vector<std::uint8_t> rgb(width * layout.height() * 3);
  for (std::size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = kSheetGap.r;
    rgb[i + 1] = kSheetGap.g;
    rgb[i + 2] = kSheetGap.b;
  }
  const FontFileCells source(font);
  const std::uint32_t s = size.cellSize;
  std::vector<std::uint8_t> levels(std::size_t{s} * s);
  // Places no cell takes are white, like an empty cell.
  for (std::uint32_t row = 0; row < layout.rows; ++row) {
    for (std::uint32_t column = 0; column < layout.columns; ++column) {
      for (std::uint32_t y = 0; y < s; ++y) {
        std::fill_n(
            rgb.begin() + static_cast<std::ptrdiff_t>(((layout.CellY(row) + y) * width + layout.CellX(column)) * 3),
            s * 3, std::uint8_t{255});
      }
    }
  }
  for (const SheetCell& cell : sheet.cells) {
    source.Levels(size, cell.position, levels);
    for (std::uint32_t y = 0; y < s; ++y) {
      std::uint8_t* out = rgb.data() + ((layout.CellY(cell.row) + y) * width + layout.CellX(cell.column)) * 3;
      for (std::uint32_t x = 0; x < s; ++x) {
        const std::uint8_t grey = SheetGrey(levels[std::size_t{y} * s + x]);
        out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = grey;
      }
    }
  }
  return rgb;
}

SheetImport ImportSheet(std::span<unsigned char> font, const GlyphSizeInfo& size, const GlyphSheet& sheet,
                        const DecodedPng& picture) {
  SheetImport result;
  const SheetLayout& layout = sheet.layout;
  if (layout.cellSize != size.cellSize) {
    result.error = "the index is for " + std::to_string(layout.cellSize) + " px cells";
    return result;
  }
  if (picture.width != layout.width() || picture.height != layout.height()) {
    result.error = "is " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                   " pixels; its index lays out a sheet of " + std::to_string(layout.width()) + "x" +
                   std::to_string(layout.height());
    return result;
  }
  const std::uint32_t s = size.cellSize;
  std::vector<std::vector<unsigned char>> packed;
  std::vector<std::uint8_t> levels(std::size_t{s} * s);
  for (const SheetCell& cell : sheet.cells) {
    if (cell.position >= kIndexedGlyphCount || CellOffset(size, cell.position) + size.bytesPerCell > font.size()) {
      result.error = "the index names position " + std::to_string(cell.position) + ", which the file has not";
      return result;
    }
    if (CodeAt(font.data(), cell.position) != cell.code) {
      result.error = "the index gives position " + std::to_string(cell.position) + " the code " + Hex(cell.code) +
                     "; the file has " + Hex(CodeAt(font.data(), cell.position)) + " there";
      return result;
    }
    for (std::uint32_t y = 0; y < s; ++y) {
      for (std::uint32_t x = 0; x < s; ++x) {
        const std::uint32_t px = layout.CellX(cell.column) + x, py = layout.CellY(cell.row) + y;
        const auto level = SheetLevel(picture.At(px, py));
        if (!level) {
          result.error = "the pixel at (" + std::to_string(px) + ", " + std::to_string(py) + ") in the cell of " +
                         Hex(cell.code) + " is not one of the 16 greys";
          return result;
        }
        levels[std::size_t{y} * s + x] = *level;
      }
    }
    packed.push_back(PackCellLevels(levels, size));
  }
  for (std::size_t i = 0; i < sheet.cells.size(); ++i) {
    unsigned char* at = font.data() + CellOffset(size, sheet.cells[i].position);
    if (std::equal(packed[i].begin(), packed[i].end(), at)) continue;
    std::copy(packed[i].begin(), packed[i].end(), at);
    result.changed.push_back(sheet.cells[i]);
  }
  return result;
}

}  // namespace qzf
