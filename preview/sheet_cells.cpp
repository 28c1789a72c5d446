#include "preview/sheet_cells.h"

#include <set>

#include "preview/font_file_cells.h"
#include "preview/utf8_text.h"

namespace qzf {

std::vector<SheetCell> SheetCellsOfCodes(std::span<const unsigned char> font, const CharacterCodes& characters,
                                         std::uint16_t from, std::uint16_t to) {
  std::vector<SheetCell> cells;
  for (std::uint32_t position = 0; position < kIndexedGlyphCount; ++position) {
    const std::uint16_t code = CodeAt(font.data(), position);
    if (code < from || code > to) continue;
    SheetCell cell;
    cell.position = position;
    cell.code = code;
    cell.character = characters.CharacterOf(code);
    cells.push_back(cell);
  }
  return cells;
}

SheetCellsResult SheetCellsOfText(std::span<const unsigned char> font, const CharacterCodes& characters,
                                  const std::u32string& text) {
  SheetCellsResult result;
  const FontFileCells source(font);
  std::set<std::uint32_t> taken;
  for (const char32_t c : text) {
    // Line breaks and spaces of a pasted text are not asked for.
    if (c == U'\n' || c == U'\r' || c == U' ' || c == U'\t') continue;
    const auto position = characters.CellFor(c, source);
    if (!position) {
      result.error = "no cell draws " + EncodeUtf8(c);
      result.cells.clear();
      return result;
    }
    if (!taken.insert(*position).second) continue;
    SheetCell cell;
    cell.position = *position;
    cell.code = CodeAt(font.data(), *position);
    cell.character = c;
    result.cells.push_back(cell);
  }
  if (result.cells.empty()) result.error = "the text names no character";
  return result;
}

}  // namespace qzf
