#include "tools/stockdata/code_table.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "fontpatch/font_format.h"

namespace qzf::stock {
namespace {

bool IsPrivateUse(char32_t c) { return c >= 0xE000 && c <= 0xF8FF; }

// The game's file holds codes that have no code-page-932 character.
void AddCodesWithoutCharacter(std::vector<std::uint16_t>& codes) {
  codes.push_back(0xEAA5);
  for (std::uint16_t code = 0xF040; code <= 0xF07E; ++code) codes.push_back(code);
  for (std::uint16_t code = 0xF140; code <= 0xF16B; ++code) codes.push_back(code);
}

constexpr std::uint32_t kRepeatedPosition = 439;
constexpr std::uint16_t kRepeatedCode = 0x814D;

}  // namespace

std::optional<char32_t> GameCharacter(const CodePages& codePages, std::uint16_t code) {
  const auto c = codePages.FromCp932(code);
  if (!c || IsPrivateUse(*c)) return std::nullopt;
  return c;
}

bool IsGameHighByte(unsigned h) {
  return (h >= 0x81 && h <= 0x84) || (h >= 0x87 && h <= 0x9F) || (h >= 0xE0 && h <= 0xEA) || h == 0xED || h == 0xEE ||
         h == 0xF0 || h == 0xF1 || (h >= 0xFA && h <= 0xFC);
}

std::vector<std::uint16_t> BuildAscendingCodes(const CodePages& codePages) {
  std::vector<std::uint16_t> codes;
  for (unsigned high = 0x81; high <= 0xFC; ++high) {
    if (!IsGameHighByte(high)) continue;
    for (unsigned low = 0x40; low <= 0xFC; ++low) {
      if (low == 0x7F) continue;
      const auto code = static_cast<std::uint16_t>(high << 8 | low);
      if (GameCharacter(codePages, code)) codes.push_back(code);
    }
  }
  AddCodesWithoutCharacter(codes);
  std::sort(codes.begin(), codes.end());
  if (codes.size() != kIndexedGlyphCount) {
    throw std::runtime_error("code table has " + std::to_string(codes.size()) + " codes, expected " +
                             std::to_string(kIndexedGlyphCount));
  }
  return codes;
}

std::vector<std::uint16_t> BuildCodeTable(const std::vector<std::uint16_t>& ascendingCodes) {
  std::vector<std::uint16_t> table = ascendingCodes;
  if (table.size() != kIndexedGlyphCount) throw std::runtime_error("the code table must hold 7832 codes");
  table[kRepeatedPosition] = kRepeatedCode;
  return table;
}

}  // namespace qzf::stock
