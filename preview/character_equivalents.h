// Characters a Chinese input method types that the game's code table holds
// under another code point. GBK (what the texts and the dictionary are in)
// and the game's Shift-JIS table (code page 932) name some of the same
// punctuation differently, so a text typed in Chinese would find no cell for
// it. Each pair below is one shape under two code points, looked up either
// way round: a character without a cell of its own is drawn from its
// partner's cell.
//
// Found by comparing every two-byte GBK symbol (rows A1-A9, A8-A9 low half)
// with code page 932:
//   - the same character, another code point: U+2014/U+2015 (the dash of
//     "——"), U+00B7/U+30FB (the middle dot of names), U+301C/U+FF5E (the
//     wave of ranges, which code page 932 reads as U+FF5E), U+2016/U+2225,
//     U+2212/U+FF0D, U+00A2/U+FFE0, U+00A3/U+FFE1, U+00AC/U+FFE2;
//   - a look-alike the game has where GBK's form is missing: U+02C9 (the
//     macron, GBK A1A5) and U+FFE3.
// The rest of GBK's symbols the game lacks (vertical forms, parenthesised
// numbers, ≤ ≥ ≈, box blocks, ...) have no shape in the game's table and stay
// without a cell.
#pragma once

#include <span>

namespace qzf {

struct CharacterPair {
  char32_t other;  // a form texts bring (GBK's, an input method's)
  char32_t game;   // the form code page 932 reads the game's code as
};

std::span<const CharacterPair> CharacterEquivalents();

// The other form of a character of the table; 0 when it has none.
char32_t EquivalentCharacter(char32_t c);

}  // namespace qzf
