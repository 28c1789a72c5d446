#include "tools/stockdata/grey_cell.h"

#include <algorithm>

#include "fontpatch/font_format.h"

namespace qzf::stock {

void GreyCell::Ink(int x, int y, std::uint8_t level) {
  if (x < 0 || y < 0 || x >= static_cast<int>(size_) || y >= static_cast<int>(size_)) return;
  std::uint8_t& at = levels_[static_cast<std::size_t>(y) * size_ + static_cast<std::uint32_t>(x)];
  at = std::max(at, std::min<std::uint8_t>(level, 15));
}

bool GreyCell::IsBlank() const {
  return std::all_of(levels_.begin(), levels_.end(), [](std::uint8_t l) { return l == 0; });
}

void GreyCell::DrawBox() {
  const int s = static_cast<int>(size_);
  const int margin = s / 10;
  const int line = std::max(1, s / 20);
  for (int y = margin; y < s - margin; ++y) {
    for (int x = margin; x < s - margin; ++x) {
      const bool edge = x < margin + line || x >= s - margin - line || y < margin + line || y >= s - margin - line;
      if (edge) Ink(x, y, 15);
    }
  }
}

void GreyCell::PackInto(unsigned char* out) const {
  for (std::uint32_t y = 0; y < size_; ++y) {
    for (std::uint32_t x = 0; x < size_; x += 2) *out++ = PackPixelPair(at(x, y), at(x + 1, y));
  }
}

}  // namespace qzf::stock
