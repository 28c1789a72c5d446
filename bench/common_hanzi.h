// The 3755 hanzi of GB2312's first level, the most common ones, in code
// order: the characters the glyph benchmarks draw.
#pragma once

#include <vector>

namespace qzf::bench {

inline std::vector<unsigned> CommonHanzi() {
  std::vector<unsigned> codes;
  for (unsigned lead = 0xB0; lead <= 0xD7; ++lead)
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail)
      if (!(lead == 0xD7 && trail > 0xF9)) codes.push_back(lead << 8 | trail);
  return codes;
}

}  // namespace qzf::bench
