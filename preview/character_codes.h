// Which glyph cell draws each character of a text, the way the game finds it:
//   1. the game code whose dictionary entry's text begins with the character
//      (its GBK form), the first such entry in key order; the cell at that
//      code's first code-table position;
//   2. failing that, the character's own Shift-JIS code, when that code is in
//      the code table and the rewrite pass keeps its cell (no entry, or one
//      marked to keep the game's glyph): kana, full-width letters, Japanese
//      punctuation;
//   3. failing both, the same two rules for the character's other form in
//      the table of equivalents (U+2014 typed, U+2015 in the game's table);
//   4. else nothing: the character cannot be shown.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "preview/cell_source.h"
#include "preview/shift_jis.h"

namespace qzf {

class CharacterCodes {
 public:
  // Built once from a loaded dictionary; it keeps no reference to it.
  explicit CharacterCodes(const QorvStringDict& dictionary);

  // The game code rule 1 gives, if any.
  std::optional<std::uint16_t> DictionaryCode(char32_t c) const;
  // Whether the rewrite pass draws a character into the cells of this code.
  bool CodeGetsCharacter(std::uint16_t code) const { return givesCharacter_[code]; }
  // The character the cells of a code show: the dictionary's, when the pass
  // draws one there, else the game's own Shift-JIS character of the code.
  std::optional<char32_t> CharacterOf(std::uint16_t code) const;

  // The code-table position of the cell that draws `c` in `cells`.
  std::optional<std::uint32_t> CellFor(char32_t c, const CellSource& cells) const;

 private:
  // Rules 1 and 2 for the character itself.
  std::optional<std::uint32_t> OwnCellFor(char32_t c, const CellSource& cells) const;

  std::unordered_map<char32_t, std::uint16_t> byCharacter_;
  std::unordered_map<std::uint16_t, char32_t> byCode_;
  std::vector<bool> givesCharacter_;
  ShiftJisEncoder shiftJis_;
};

}  // namespace qzf
