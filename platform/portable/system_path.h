// Paths between UTF-8 (what people type and pages send) and the byte paths
// the file calls take: the ANSI code page on Windows; natively GBK with
// backslashes, like the ANSI calls on a Chinese system, so "/tmp/a" is an
// absolute path to the dictionary's path rule too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qzf {

// Nullopt when the path holds characters the system's file names cannot.
std::optional<std::string> Utf8ToSystemPath(std::string_view utf8);
// For showing a path; bytes that do not convert pass unchanged.
std::string SystemPathToUtf8(std::string_view path);

}  // namespace qzf
