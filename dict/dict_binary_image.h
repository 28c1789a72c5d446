// Layout of the dictionary binary image: a header of version and count, a
// table of six 32-bit little-endian words per entry (three text offsets into
// the blob, three lengths), then the blob of NUL-terminated texts.
#pragma once

#include <cstdint>

namespace qzf {

inline constexpr std::uint32_t kImageVersion = 1;
inline constexpr std::uint32_t kImageHeaderSize = 8;
inline constexpr std::uint32_t kImageRecordSize = 24;

inline std::uint32_t ReadImageWord(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

inline void WriteImageWord(unsigned char* at, std::uint32_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
  at[2] = static_cast<unsigned char>(value >> 16);
  at[3] = static_cast<unsigned char>(value >> 24);
}

}  // namespace qzf
