// Windows takes '\' and '/' alike between the parts of a path, and so does
// every place here that takes a path apart. Paths are GBK bytes: a backslash
// byte that is the second byte of a two-byte character separates nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qzf {

bool IsPathSeparator(char c);

// Index of the last separator of the path, or npos when it has none.
std::size_t FindLastPathSeparator(std::string_view path);

// The directory part with its last separator ("" for a bare name), and the
// name after it.
std::string DirectoryPart(std::string_view path);
std::string NamePart(std::string_view path);

}  // namespace qzf
