#include "dict/dict_path.h"

#include <cstring>
#include <string>

#include "platform/win32.h"

namespace qzf {

bool ResolveDictPath(const char* name, char* out, std::uint32_t size) {
  // An empty name would name the directory itself.
  if (name == nullptr || name[0] == '\0' || size == 0) return false;
  const std::size_t nameLength = std::strlen(name);
  std::string resolved;
  // Windows separates with a slash as well as a backslash: a name with either
  // is a path.
  if (std::strpbrk(name, "\\/") != nullptr) {
    resolved.assign(name, nameLength);
  } else {
    std::string directory(size, '\0');
    const DWORD length = GetCurrentDirectoryA(size, directory.data());
    // 0 is a failure; size or more is the room a longer directory would need.
    if (length == 0 || length >= size) return false;
    directory.resize(length);
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    resolved = directory + '\\' + std::string(name, nameLength);
  }
  if (resolved.size() >= size) return false;
  // The name may be the caller's own copy of out, so it is assembled aside.
  std::memcpy(out, resolved.c_str(), resolved.size() + 1);
  return true;
}

}  // namespace qzf
