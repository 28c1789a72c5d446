#include "fileutil/path_separators.h"

namespace qzf {

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

std::size_t FindLastPathSeparator(std::string_view path) {
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < path.size()) {
      ++i;  // a two-byte character: its second byte may be 0x5C
    } else if (IsPathSeparator(path[i])) {
      last = i;
    }
  }
  return last;
}

std::string DirectoryPart(std::string_view path) {
  const std::size_t last = FindLastPathSeparator(path);
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string NamePart(std::string_view path) {
  const std::size_t last = FindLastPathSeparator(path);
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

}  // namespace qzf
