// A glyph style as a person gives it: in a style file, on the command line or
// in the studio. Every setting is optional, so that one source can override
// another setting by setting (the command line wins over the file); texts
// and paths are UTF-8, converted when the style becomes a build's. Which
// settings there are, and what their values mean, is the style table's.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "fontbuild/style_value.h"
#include "fontpatch/glyph_style.h"

namespace qzf {

// Given values by setting name.
using SettingValues = std::map<std::string, StyleValue, std::less<>>;

struct StyleSettings {
  SettingValues all;                                      // for the whole build and every size
  std::array<SettingValues, SizeModeTable.size()> sizes;  // per size, over `all`

  bool operator==(const StyleSettings&) const = default;
};

// `over`'s given values replace `base`'s; a value `over` gives for every size
// also replaces `base`'s values for single sizes.
StyleSettings OverrideStyle(const StyleSettings& base, const StyleSettings& over);

// Whether a setting that places the glyphs is given (for any size).
bool PlacementGiven(const StyleSettings& settings);

// The style of each size that `settings` gives.
std::array<GlyphStyle, SizeModeTable.size()> SizeStylesOf(const StyleSettings& settings);

// The index in SizeModeTable of a cell size (20, 24, 64); nullopt otherwise.
std::optional<std::size_t> SizeIndexOf(int cellSize);

}  // namespace qzf
