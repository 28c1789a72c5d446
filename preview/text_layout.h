// A text laid out in glyph cells as the game places them: every character
// one cell wide at a fixed advance, lines broken at the text's line breaks
// and wrapped at a width in cells.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "preview/cell_source.h"
#include "preview/character_codes.h"

namespace qzf {

struct PlacedCharacter {
  std::uint32_t row = 0;     // line of the picture
  std::uint32_t column = 0;  // cell within the line
  // The code-table position of the cell drawn; nullopt for a box.
  std::optional<std::uint32_t> position;
};

// A character no cell draws; line and column count characters of the text
// from 1.
struct UnknownCharacter {
  char32_t character = 0;
  std::uint32_t line = 0;
  std::uint32_t column = 0;
};

struct TextLayout {
  std::uint32_t rows = 0;               // lines of the picture (at least 1)
  std::uint32_t columns = 0;            // cells of the longest one
  std::vector<PlacedCharacter> placed;  // spaces leave a gap and are not placed
  std::vector<UnknownCharacter> unknown;
};

// Line breaks are LF, CR LF and CR; one at the very end adds no line. A
// space (U+0020) is an empty cell. `width` is at least 1.
TextLayout LayOutText(std::u32string_view text, std::uint32_t width, const CharacterCodes& codes,
                      const CellSource& cells);

}  // namespace qzf
