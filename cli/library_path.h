// Paths typed by the user, in the form the library takes. The library keeps
// paths in 260-byte buffers (the dictionary loaders, the rewrite pass,
// directory creation), and the Windows file calls take no longer ones; the
// native file calls take any length.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace qzf::cli {

enum class PathUse {
  kFileCalls,      // only opened, read or written
  kLibraryBuffer,  // also kept in a 260-byte buffer
};

// Bytes a temporary file beside a path adds to it (".font-4294967295.tmp").
inline constexpr std::size_t kTemporarySuffixLength = 20;

// The path as typed when it fits (with `reserve` bytes the library adds to
// it), else relative to the current directory when that fits. A relative
// path starts with ".\": no loader then joins it to a long current directory,
// and directory creation makes its first level too. An empty path stays empty. On failure the one-line error (a path
// too long, and which; characters the file names cannot hold) is printed and
// nullopt given.
std::optional<std::string> LibraryPath(const std::string& utf8, PathUse use, std::size_t reserve = 0);

}  // namespace qzf::cli
