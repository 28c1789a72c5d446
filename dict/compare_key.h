// The order of dictionary keys: unsigned byte-wise, a proper prefix first.
#pragma once

#include <cstdint>

namespace qzf {

inline constexpr std::uint32_t kKeyEqual = 1;
inline constexpr std::uint32_t kKeyBefore = 2;
inline constexpr std::uint32_t kKeyAfter = 3;

// kKeyEqual, kKeyBefore when a sorts before b, kKeyAfter when after.
// A null text counts as the empty text.
std::uint32_t CompareKeyA(const char* a, const char* b);

}  // namespace qzf
