// The command line's edge: arguments and terminal text in UTF-8, paths and
// face names converted to what the library takes (GBK inside).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qzf::cli {

// The arguments as UTF-8 (on Windows from the wide command line), and the
// console set up for UTF-8 output.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// A path typed by the user (UTF-8) as the byte path the file calls take.
std::optional<std::string> ToSystemPath(std::string_view utf8);
// A face name or dictionary text typed by the user (UTF-8) as GBK.
std::optional<std::string> ToGbk(std::string_view utf8);
// GBK to UTF-8 for the terminal; bytes that are not GBK pass unchanged.
std::string ToTerminal(std::string_view gbk);
// One GBK line of the library's diagnostics, on standard error in UTF-8.
void DiagnosticToTerminal(std::string_view gbkLine);

bool IsTerminal(std::FILE* stream);

// "qzffont: <message>" on standard error; returns the exit status to use.
int Error(const std::string& message, int status = 1);

}  // namespace qzf::cli
