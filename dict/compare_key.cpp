#include "dict/compare_key.h"

namespace qzf {

std::uint32_t CompareKeyA(const char* a, const char* b) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  for (std::size_t i = 0;; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x < y) return kKeyBefore;
    if (x > y) return kKeyAfter;
    if (x == 0) return kKeyEqual;
  }
}

}  // namespace qzf
