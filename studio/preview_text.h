// Which cell shows each character of a preview text, the way the game finds
// it: the character's GBK form, the game code whose dictionary entry draws
// it (the first in key order), that code's first code-table position.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "studio/studio_data.h"

namespace qzf::studio {

struct PreviewCharacter {
  std::string text;                       // the character, UTF-8
  std::optional<std::uint32_t> position;  // nullopt: no cell shows it
  bool lineBreak = false;
  bool space = false;
};

// Nullopt when the text is not UTF-8.
std::optional<std::vector<PreviewCharacter>> MapPreviewText(const StudioData& data, const std::string& utf8);

}  // namespace qzf::studio
