// One dictionary entry: three texts that point into the owning store's text
// buffer, each with a NUL at pointer + length.
#pragma once

#include <cstdint>

namespace qzf {

struct DictRecord {
  char* ENG;
  char* CHI;
  char* Remark00;
  std::uint32_t ENGLength;
  std::uint32_t CHILength;
  std::uint32_t Remark00Length;
};

}  // namespace qzf
