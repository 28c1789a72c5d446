// Shift-JIS (code page 932), the encoding the game codes come from: the
// two-byte code of a character, for the characters the game draws from its
// own Japanese cells.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace qzf {

class ShiftJisEncoder {
 public:
  ShiftJisEncoder();
  ~ShiftJisEncoder();
  ShiftJisEncoder(const ShiftJisEncoder&) = delete;
  ShiftJisEncoder& operator=(const ShiftJisEncoder&) = delete;

  // The two-byte code (lead byte high) of a character; nullopt when code page
  // 932 has none or only a one-byte one.
  std::optional<std::uint16_t> Encode(char32_t c) const;

 private:
  struct Converter;
  std::unique_ptr<Converter> converter_;
};

// The character of a two-byte code (lead byte high) of code page 932;
// nullopt when the code is not one.
std::optional<char32_t> DecodeShiftJis(std::uint16_t code);

}  // namespace qzf
