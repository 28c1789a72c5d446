// The glyph style options of `qzffont build`, one per setting of the style
// table: per-size lists such as "20=18,24=22,64=58" or one value for every
// size; the style file read with --style and written with --save-style.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "fontbuild/style_settings.h"

namespace qzf::cli {

struct StyleArguments {
  std::map<std::string, std::optional<std::string>> texts;  // by setting name: given, perhaps empty
  std::map<std::string, bool> flags;
  std::map<std::string, std::vector<std::string>> lists;
  std::string styleFile, saveStyleFile;
};

// The options, their targets in `arguments` (which must outlive the parse).
std::vector<OptionDescription> StyleOptions(StyleArguments& arguments);

// The style the options give, over the style file's when there is one. On a
// bad value or a bad style file: nullopt and the one line to say.
std::optional<StyleSettings> StyleFromArguments(const StyleArguments& arguments, std::string& error);

// `settings` with its pictures' paths from the folder of `file` (a style
// about to be saved there), so that the saved style finds them too.
StyleSettings WithImagesFrom(StyleSettings settings, const std::string& file);

}  // namespace qzf::cli
