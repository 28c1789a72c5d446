// Style files: a glyph style in TOML, as a person writes it and as a build
// saves the style it used. The keys are the style table's settings:
//
//   face = "Noto Sans CJK SC"          # optional; the command line's --face wins
//   fallback = ["WenQuanYi Micro Hei"]
//   align = "center"                    # or "design"
//   weight = 700                        # per-size values here are for every size ...
//   [size.20]                           # ... and here for one (20, 24 or 64)
//   glyph-size = 18
//   shift = [1, -1]                     # pixels right, down
//   [glyph."。"]                        # one character's own settings (or [glyph.0x8142]: one code's)
//   shift = [1, -2]
//   glyph-size = { 20 = 18 }            # per size in place of the value
//   image = "glyphs/。-{size}.png"      # a picture per cell size, relative to the style file
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fontbuild/style_settings.h"
#include "fontbuild/style_value.h"

namespace qzf {

struct StyleFileError {
  int line = 0;         // 1-based; 0 when no line applies
  std::string message;  // UTF-8, English, e.g. "unknown setting \"wieght\""
  // When a value was refused: what, for a message in another language.
  std::optional<ValueError> value;
};

// Parses the text of a style file. On an unknown key, a value that does not
// fit its setting, a size that is not 20, 24 or 64, or TOML that does not
// parse: the first such error.
std::optional<StyleSettings> ParseStyleText(std::string_view text, StyleFileError& error);

// The text of a style file that gives exactly `settings`'s values.
std::string FormatStyleText(const StyleSettings& settings);

}  // namespace qzf
