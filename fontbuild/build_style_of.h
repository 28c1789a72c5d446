// The style a build takes from the style a person gave: face names in GBK,
// font files as system paths, and the alignment a fit implies. The command
// line and the studio both turn their styles into builds through it.
#pragma once

#include <optional>
#include <string>

#include "fontbuild/style_settings.h"
#include "fontpatch/glyph_style.h"

namespace qzf {

// Nullopt on a name or path this system cannot take, with `error` naming it
// (UTF-8, English).
std::optional<BuildStyle> BuildStyleOf(const StyleSettings& settings, std::string& error);

}  // namespace qzf
