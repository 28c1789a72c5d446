#include "app/tool_file_path.h"

#include <cstring>

namespace qzf {

bool FormToolFilePath(const char* modulePath, const char* fileName, char* out, std::size_t capacity) {
  if (modulePath == nullptr || fileName == nullptr || out == nullptr) return false;
  const std::size_t length = std::strlen(modulePath);
  std::size_t slash = 0;
  // Byte by byte, as the path is GBK: a trail byte 0x5C counts too.
  for (std::size_t i = length; i-- > 1;) {
    if (modulePath[i] == '\\') {
      slash = i;
      break;
    }
  }
  if (slash == 0) return false;
  const std::size_t nameLength = std::strlen(fileName);
  if (slash + 1 + nameLength + 1 > capacity) return false;
  std::memmove(out, modulePath, slash + 1);
  std::memcpy(out + slash + 1, fileName, nameLength + 1);
  return true;
}

}  // namespace qzf
