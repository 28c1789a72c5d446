#include "cli/terminal.h"

#include "platform/base/codepage.h"
#include "platform/portable/system_path.h"

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

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }
#else
std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }
#endif

std::optional<std::string> ToSystemPath(std::string_view utf8) { return Utf8ToSystemPath(utf8); }

std::optional<std::string> ToGbk(std::string_view utf8) { return Utf8ToGbk(utf8); }

std::string ToTerminal(std::string_view gbk) { return GbkToUtf8Lossy(gbk); }

void DiagnosticToTerminal(std::string_view gbkLine) { std::fprintf(stderr, "%s\n", ToTerminal(gbkLine).c_str()); }

int Error(const std::string& message, int status) {
  std::fprintf(stderr, "qzffont: %s\n", message.c_str());
  return status;
}

}  // namespace qzf::cli
