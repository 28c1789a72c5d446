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
// 0xEAA5, 0xF040-0xF07E and 0xF140-0xF16B, ascending: 7832 distinct codes.
// Throws std::runtime_error when there are not 7832.
std::vector<std::uint16_t> BuildAscendingCodes(const CodePages& codePages);

// The code table as the game's file has it: the ascending codes, except that
// position 439 (0x844D) holds 0x814D a second time.
std::vector<std::uint16_t> BuildCodeTable(const std::vector<std::uint16_t>& ascendingCodes);

}  // namespace qzf::stock
