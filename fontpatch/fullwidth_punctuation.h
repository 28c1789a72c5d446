// The full-width punctuation whose place in the cell differs between the
// ways Chinese text is set: in mainland text these marks sit in the lower
// left of their cell, in Hong Kong and Taiwan text in its middle.
//
//   mark  Unicode  GBK     game code  name
//   ，    U+FF0C   0xA3AC  0x8143     comma
//   。    U+3002   0xA1A3  0x8142     full stop
//   、    U+3001   0xA1A2  0x8141     enumeration comma
//   ；    U+FF1B   0xA3BB  0x8147     semicolon
//   ：    U+FF1A   0xA3BA  0x8146     colon
//   ？    U+FF1F   0xA3BF  0x8148     question mark
//   ！    U+FF01   0xA3A1  0x8149     exclamation mark
//   ．    U+FF0E   0xA3AE  0x8144     full-width full stop
//
// Brackets, quotes, dashes and ellipses are not in it: their place is the
// same in both ways of setting (or tied to the next character), so no
// setting moves them.
#pragma once

#include <array>
#include <cstdint>

namespace qzf {

struct FullWidthMark {
  char32_t character;
  std::uint16_t gbk;       // lead byte high
  std::uint16_t gameCode;  // the game's own (Shift-JIS) code of the mark
  const char* name;
};

inline constexpr std::array<FullWidthMark, 8> kFullWidthPunctuation{{
    {U'\uFF0C', 0xA3AC, 0x8143, "comma"},
    {U'\u3002', 0xA1A3, 0x8142, "full stop"},
    {U'\u3001', 0xA1A2, 0x8141, "enumeration comma"},
    {U'\uFF1B', 0xA3BB, 0x8147, "semicolon"},
    {U'\uFF1A', 0xA3BA, 0x8146, "colon"},
    {U'\uFF1F', 0xA3BF, 0x8148, "question mark"},
    {U'\uFF01', 0xA3A1, 0x8149, "exclamation mark"},
    {U'\uFF0E', 0xA3AE, 0x8144, "full-width full stop"},
}};

// The table's row of a GBK character, or null when it is not one of them.
const FullWidthMark* FindFullWidthMark(std::uint16_t gbk);

}  // namespace qzf
