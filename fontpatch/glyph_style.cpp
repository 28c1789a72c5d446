#include "fontpatch/glyph_style.h"

#include <algorithm>
#include <cmath>

namespace qzf {

std::array<std::uint8_t, 17> GammaLevels(double gamma) {
  std::array<std::uint8_t, 17> levels{};
  for (int level = 0; level <= 16; ++level) {
    const int clamped = std::min(level, 15);
    if (gamma == 1.0 || clamped == 0 || clamped == 15) {
      levels[level] = static_cast<std::uint8_t>(clamped);
      continue;
    }
    const double curved = 15.0 * std::pow(clamped / 15.0, 1.0 / gamma);
    levels[level] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::floor(curved + 0.5)), 0, 15));
  }
  return levels;
}

}  // namespace qzf
