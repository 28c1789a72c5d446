#include "preview/shift_jis.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <mutex>
#endif

namespace qzf {

#ifdef _WIN32
struct ShiftJisEncoder::Converter {};

ShiftJisEncoder::ShiftJisEncoder() = default;
ShiftJisEncoder::~ShiftJisEncoder() = default;

std::optional<std::uint16_t> ShiftJisEncoder::EncodeAny(char32_t c) const {
  if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  const wchar_t wide = static_cast<wchar_t>(c);
  char bytes[4] = {};
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof(bytes), nullptr, &usedDefault);
  if (n != 2 || usedDefault) return std::nullopt;
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]));
}

std::optional<char32_t> DecodeShiftJis(std::uint16_t code) {
  const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  wchar_t wide[2] = {};
  const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, 2, wide, 2);
  if (n != 1) return std::nullopt;
  return static_cast<char32_t>(wide[0]);
}
#else
// One iconv descriptor each way, kept for every character of a text. An
// iconv descriptor holds state and is not for two threads at once: the
// studio lays out previews on several.
struct ShiftJisEncoder::Converter {
  std::mutex lock;
  iconv_t handle = iconv_open("CP932", "UTF-32LE");
  iconv_t back = iconv_open("UTF-32LE", "CP932");
  ~Converter() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
    if (back != reinterpret_cast<iconv_t>(-1)) iconv_close(back);
  }
};

ShiftJisEncoder::ShiftJisEncoder() : converter_(std::make_unique<Converter>()) {}
ShiftJisEncoder::~ShiftJisEncoder() = default;

std::optional<std::uint16_t> ShiftJisEncoder::EncodeAny(char32_t c) const {
  if (converter_->handle == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  const std::lock_guard<std::mutex> hold(converter_->lock);
  char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), static_cast<char>((c >> 16) & 0xFF),
                static_cast<char>(c >> 24)};
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  std::size_t inLeft = sizeof(in), outLeft = sizeof(out);
  iconv(converter_->handle, nullptr, nullptr, nullptr, nullptr);  // a fresh state for each character
  if (iconv(converter_->handle, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
    return std::nullopt;
  if (outPtr - out != 2) return std::nullopt;
  return static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]));
}

namespace {

std::optional<char32_t> DecodeWith(iconv_t handle, std::uint16_t code) {
  if (handle == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  iconv(handle, nullptr, nullptr, nullptr, nullptr);
  char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  unsigned char out[8] = {};
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(out);
  std::size_t inLeft = sizeof(in), outLeft = sizeof(out);
  const bool converted = iconv(handle, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  if (!converted || inLeft != 0 || sizeof(out) - outLeft != 4) return std::nullopt;
  return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24);
}

}  // namespace

std::optional<char32_t> DecodeShiftJis(std::uint16_t code) {
  const iconv_t handle = iconv_open("UTF-32LE", "CP932");
  const auto c = DecodeWith(handle, code);
  if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  return c;
}

std::optional<char32_t> ShiftJisEncoder::Decode(std::uint16_t code) const {
  const std::lock_guard<std::mutex> hold(converter_->lock);
  return DecodeWith(converter_->back, code);
}
#endif

#ifdef _WIN32
std::optional<char32_t> ShiftJisEncoder::Decode(std::uint16_t code) const { return DecodeShiftJis(code); }
#endif

std::optional<std::uint16_t> ShiftJisEncoder::Encode(char32_t c) const {
  // Only a code that reads back as the character: iconv also gives codes for
  // look-alikes (U+2014 as the code of U+2015) where Windows gives none, and
  // the two builds must find the same cells.
  const auto code = EncodeAny(c);
  if (!code || Decode(*code) != c) return std::nullopt;
  return code;
}

}  // namespace qzf
