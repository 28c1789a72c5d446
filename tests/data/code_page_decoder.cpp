#include "tests/data/code_page_decoder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace qzf::test {

#ifdef _WIN32
std::optional<std::u16string> DecodeCodePage(unsigned codePage, std::string_view bytes) {
  if (bytes.empty()) return std::u16string();
  const int inLength = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), inLength, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), inLength, wide.data(), n);
  return std::u16string(wide.begin(), wide.end());
}
#else
std::optional<std::u16string> DecodeCodePage(unsigned codePage, std::string_view bytes) {
  const char* from = codePage == 932 ? "CP932" : codePage == 936 ? "CP936" : nullptr;
  if (from == nullptr) return std::nullopt;
  const iconv_t cd = iconv_open("UTF-16LE", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(bytes.size() * 4 + 4, '\0');
  char* inPtr = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
  std::u16string text;
  for (const char* p = out.data(); p + 1 < outPtr; p += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8));
  }
  return text;
}
#endif

}  // namespace qzf::test
