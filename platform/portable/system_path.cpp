#include "platform/portable/system_path.h"

#include "platform/base/codepage.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qzf {

#ifdef _WIN32
std::optional<std::string> Utf8ToSystemPath(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  const int n =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  BOOL lossy = FALSE;
  const int m = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), n, nullptr, 0, nullptr, &lossy);
  if (m <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), n, out.data(), m, nullptr, &lossy);
  if (lossy) return std::nullopt;
  return out;
}

std::string SystemPathToUtf8(std::string_view path) {
  if (path.empty()) return std::string();
  const int n = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  if (n <= 0) return std::string(path);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
  return out;
}
#else
std::optional<std::string> Utf8ToSystemPath(std::string_view utf8) {
  auto path = Utf8ToGbk(utf8);
  if (path) {
    for (char& c : *path) {
      if (c == '/') c = '\\';
    }
  }
  return path;
}

std::string SystemPathToUtf8(std::string_view path) {
  std::string text = GbkToUtf8Lossy(path);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return text;
}
#endif

}  // namespace qzf
