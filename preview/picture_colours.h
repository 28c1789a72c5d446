// The colours of the pictures for people, after the window's: its preview
// lines are light ink on a dark band.
#pragma once

#include "preview/canvas.h"

namespace qzf {

inline constexpr Rgb kPictureBackground{28, 30, 38};
inline constexpr Rgb kPreviewBand{12, 12, 18};
inline constexpr Rgb kPreviewInk{238, 222, 206};  // the window's preview colour
inline constexpr Rgb kLabelInk{150, 160, 175};
inline constexpr Rgb kMissingBoxInk{214, 96, 84};

// Grey level 0..15 of a cell as ink over the band: the band at 0, the ink at
// 15, rounded to the nearest value in between.
constexpr Rgb LevelColour(unsigned level) {
  auto mix = [level](unsigned band, unsigned ink) {
    return static_cast<std::uint8_t>((band * (15 - level) + ink * level + 7) / 15);
  };
  return {mix(kPreviewBand.r, kPreviewInk.r), mix(kPreviewBand.g, kPreviewInk.g), mix(kPreviewBand.b, kPreviewInk.b)};
}

}  // namespace qzf
