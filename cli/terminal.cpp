#include "cli/terminal.h"

#include "platform/portable/codepage.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace qzf::cli {

#ifdef _WIN32
namespace {
std::string WideToUtf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string out(static_cast<size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
  return out;
}
}  // namespace

std::vector<std::string> Utf8Arguments(int, char**) {
  SetConsoleOutputCP(CP_UTF8);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

// The ANSI file calls read paths in the system's code page.
std::optional<std::string> ToSystemPath(std::string_view utf8) {
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

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }
#else
std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

// The native file layer takes GBK paths, like the ANSI calls on a Chinese system.
// The native file layer takes GBK paths with backslashes, like the ANSI calls
// on a Chinese system: "/tmp/a" is then an absolute path to the dictionary's
// path rule too.
std::optional<std::string> ToSystemPath(std::string_view utf8) {
  auto path = Utf8ToGbk(utf8);
  if (path) {
    for (char& c : *path) {
      if (c == '/') c = '\\';
    }
  }
  return path;
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }
#endif

std::optional<std::string> ToGbk(std::string_view utf8) { return Utf8ToGbk(utf8); }

std::string ToTerminal(std::string_view gbk) { return GbkToUtf8Lossy(gbk); }

void DiagnosticToTerminal(std::string_view gbkLine) { std::fprintf(stderr, "%s\n", ToTerminal(gbkLine).c_str()); }

int Error(const std::string& message, int status) {
  std::fprintf(stderr, "qzffont: %s\n", message.c_str());
  return status;
}

}  // namespace qzf::cli
