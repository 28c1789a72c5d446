#include "fileutil/ensure_directory_path.h"

#include <cstring>

#include "platform/win32.h"

namespace qzf {

std::int32_t EnsureDirectoryPath(const char* path) {
  if (path == nullptr) return 0;
  const size_t length = std::strlen(path);
  // The working copy has MAX_PATH bytes; a longer path would not fit.
  if (length < 2 || length >= MAX_PATH) return 0;

  char directory[MAX_PATH] = {};
  std::memcpy(directory, path, length + 1);
  for (size_t i = 0; i < length; ++i) {
    if (directory[i] == '/') directory[i] = '\\';
  }
  char* last = std::strrchr(directory, '\\');
  if (last == nullptr) return 0;
  *last = '\0';

  if (CreateDirectoryA(directory, nullptr)) return 1;

  // Create each prefix before a separator; positions 0 and 1 are never taken
  // as separators (a drive letter, or the two backslashes of a network path).
  const size_t directoryLength = std::strlen(directory);
  char prefix[MAX_PATH] = {};
  for (size_t i = 2; i < directoryLength; ++i) {
    if (directory[i] != '\\') continue;
    std::memcpy(prefix, directory, i);
    prefix[i] = '\0';
    CreateDirectoryA(prefix, nullptr);
  }
  return CreateDirectoryA(directory, nullptr) ? 1 : 0;
}

}  // namespace qzf
