// The code table of the stand-in font file: the 7832 game codes in the order
// the file lists them.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/stockdata/code_pages.h"

namespace qzf::stock {

// The character a code stands for: its code-page-932 character, unless that
// lies in the private-use area (code page 932's user-defined rows).
std::optional<char32_t> GameCharacter(const CodePages& codePages, std::uint16_t code);

// High bytes of the game's two-byte codes, ascending.
bool IsGameHighByte(unsigned highByte);

// Every code with a game high byte and a low byte 0x40-0xFC (not 0x7F) that
// code page 932 maps to a character outside the private-use area, then
// 0xEAA5, 0xF040-0xF07E and 0xF140-0xF16B, ascending; position 439 then holds
// 0x814D a second time. Throws std::runtime_error when the result does not
// have the game file's 7832 entries.
std::vector<std::uint16_t> BuildCodeTable(const CodePages& codePages);

}  // namespace qzf::stock
