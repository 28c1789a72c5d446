// The first code-table position of every game code, built once from a code
// table so that each lookup is one array read.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace qzf {

class CodePositions {
 public:
  // `image` holds the count field and the code table (a font file image,
  // tested already).
  explicit CodePositions(const unsigned char* image);

  std::optional<std::uint32_t> Find(std::uint16_t code) const {
    const std::uint32_t position = first_[code];
    if (position == kNone) return std::nullopt;
    return position;
  }

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  std::vector<std::uint32_t> first_;
};

}  // namespace qzf
