#include "dict/trim_spaces.h"

#include <cstring>

namespace qzf {

char* TrimSpaces(char* s, std::uint32_t mode, std::uint32_t* outLength) {
  if (s == nullptr) return nullptr;
  std::size_t length = std::strlen(s);
  while (length >= 1 && s[length - 1] == ' ') s[--length] = '\0';
  if (length == 0) {
    if (outLength != nullptr) *outLength = 0;
    return s;
  }
  std::size_t lead = 0;
  while (s[lead] == ' ') ++lead;
  const std::size_t trimmed = length - lead;
  if (mode == 0) {
    if (outLength != nullptr) *outLength = static_cast<std::uint32_t>(trimmed);
    return s + lead;
  }
  if (mode == 1) {
    std::memmove(s, s + lead, trimmed + 1);
    if (outLength != nullptr) *outLength = static_cast<std::uint32_t>(trimmed);
    return s;
  }
  return nullptr;
}

}  // namespace qzf
