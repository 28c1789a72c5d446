// Conversions between GBK (code page 936), the byte strings the tool works in,
// and UTF-8 at the edges (a terminal, a Linux file name).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qzf {

// Both give nullopt when the input is not valid in its encoding.
std::optional<std::string> GbkToUtf8(std::string_view gbk);
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// The Unicode code point of one GBK character: a byte below 0x80, or a
// double-byte code (lead byte << 8 | trail byte). Nullopt when it has none.
std::optional<char32_t> GbkCodeToUnicode(unsigned code);

// For text that should be shown whatever it holds: valid GBK is converted,
// anything else is passed through unchanged.
std::string GbkToUtf8Lossy(std::string_view gbk);

}  // namespace qzf
