// Style files: a glyph style in TOML, as a person writes it and as a build
// saves the style it used.
//
//   face = "Noto Sans CJK SC"          # optional; the command line's --face wins
//   fallback = ["WenQuanYi Micro Hei"]
//   font-file = ["fonts/MyFont.ttf"]
//   align = "center"                    # or "design"
//   fit = false
//   weight = 700                        # values here are for every size ...
//   [size.20]                           # ... and here for one (20, 24 or 64)
//   glyph-size = 18
//   baseline = 17
//   shift = [1, -1]                     # pixels right, down
//   italic = false
//   mono = false
//   gamma = 1.2
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fontbuild/style_settings.h"

namespace qzf {

struct StyleFileError {
  int line = 0;         // 1-based; 0 when no line applies
  std::string message;  // UTF-8, e.g. "unknown key 'wieght'"
};

// Parses the text of a style file. On an unknown key, a value of the wrong
// kind or out of range, a size that is not 20, 24 or 64, or TOML that does
// not parse: the first such error.
std::optional<StyleSettings> ParseStyleText(std::string_view text, StyleFileError& error);

// The text of a style file that gives exactly `settings`'s fields.
std::string FormatStyleText(const StyleSettings& settings);

}  // namespace qzf
