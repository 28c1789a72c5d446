#include "app/gbk_wide.h"

#ifdef _WIN32
#include "platform/win32.h"

namespace qzf {

namespace {
constexpr UINT kGbkCodePage = 936;
}

std::wstring GbkToWide(std::string_view gbk) {
  if (gbk.empty()) return std::wstring();
  const int inLength = static_cast<int>(gbk.size());
  const int length = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), inLength, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), inLength, wide.data(), length);
  return wide;
}

std::string WideToGbk(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int inLength = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string gbk(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, wide.data(), inLength, gbk.data(), length, nullptr, nullptr);
  return gbk;
}

}  // namespace qzf
#endif
