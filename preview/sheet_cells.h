// Which cells a glyph sheet holds: those of a range of game codes (every
// code-table position whose code is in it, in table order), or those that
// draw the characters of a text, the way the game finds them, each once.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "preview/character_codes.h"
#include "preview/glyph_sheet.h"

namespace qzf {

std::vector<SheetCell> SheetCellsOfCodes(std::span<const unsigned char> font, const CharacterCodes& characters,
                                         std::uint16_t from, std::uint16_t to);

struct SheetCellsResult {
  std::vector<SheetCell> cells;
  std::string error;  // "no cell draws 〇" (UTF-8)
  explicit operator bool() const { return error.empty(); }
};

SheetCellsResult SheetCellsOfText(std::span<const unsigned char> font, const CharacterCodes& characters,
                                  const std::u32string& text);

}  // namespace qzf
