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
  // 932 has none, only a one-byte one, or one that stands for another
  // character.
  std::optional<std::uint16_t> Encode(char32_t c) const;

 private:
  // The code page's answer, look-alikes included.
  std::optional<std::uint16_t> EncodeAny(char32_t c) const;
  // DecodeShiftJis with the encoder's own converter.
  std::optional<char32_t> Decode(std::uint16_t code) const;

  struct Converter;
  std::unique_ptr<Converter> converter_;
};

// The character of a two-byte code (lead byte high) of code page 932;
// nullopt when the code is not one.
std::optional<char32_t> DecodeShiftJis(std::uint16_t code);

}  // namespace qzf
