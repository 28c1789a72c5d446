// The three code pages the stand-in data is made from: code page 932 (the
// game's Shift-JIS codes), GB2312 (which characters a Chinese reader shares
// with the game) and GBK, code page 936 (the dictionary's texts).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/stockdata/iconv_converter.h"

namespace qzf::stock {

class CodePages {
 public:
  CodePages();

  // The character of a two-byte code-page-932 code, high byte first.
  std::optional<char32_t> FromCp932(std::uint16_t code) const;
  // The two-byte GB2312 code of a character (high byte first).
  std::optional<std::uint16_t> ToGb2312(char32_t c) const;
  std::optional<char32_t> FromGb2312(std::uint16_t code) const;
  // The GBK bytes of a character.
  std::optional<std::string> ToGbk(char32_t c) const;
  std::optional<char32_t> FromGbk(std::string_view bytes) const;

 private:
  IconvConverter cp932ToUcs_;
  IconvConverter ucsToGb2312_;
  IconvConverter gb2312ToUcs_;
  IconvConverter ucsToGbk_;
  IconvConverter gbkToUcs_;
};

}  // namespace qzf::stock
