// The glyph style options of `qzffont build` (and the commands that draw like
// it): per-size lists such as "20=18,24=22,64=58" or one value for every
// size, the style file read with --style and written with --save-style.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fontbuild/style_settings.h"
#include "fontpatch/glyph_style.h"

namespace CLI {
class App;
}

namespace qzf::cli {

struct StyleArguments {
  std::string glyphSize, baseline, shift, align, weight, gamma;
  bool fit = false, italic = false, mono = false;
  std::vector<std::string> fallback, fontFile;
  std::string styleFile, saveStyleFile;
};

void AddStyleOptions(CLI::App& command, StyleArguments& arguments);

// The style the options give, over the style file's when there is one. On a
// bad value or a bad style file: nullopt and the one line to say.
std::optional<StyleSettings> StyleFromArguments(const StyleArguments& arguments, std::string& error);

}  // namespace qzf::cli
