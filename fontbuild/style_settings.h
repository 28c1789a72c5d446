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

// The settings of one character, over the font's: any per-size setting, the
// face, and a hand-drawn image.
struct GlyphSettings {
  SettingValues all;                                      // every size
  std::array<SettingValues, SizeModeTable.size()> sizes;  // per size, over `all`
  int line = 0;                                           // in a style file; 0: none applies

  // Where it was written does not make it another setting.
  bool operator==(const GlyphSettings& other) const { return all == other.all && sizes == other.sizes; }
};

struct StyleSettings {
  SettingValues all;                                      // for the whole build and every size
  std::array<SettingValues, SizeModeTable.size()> sizes;  // per size, over `all`
  // By the key as written: one character ("。") or a game code ("0x8142").
  std::map<std::string, GlyphSettings, std::less<>> glyphs;
  // The style file the settings came from, as given (for messages), and the
  // folder its image paths are relative to (UTF-8; empty: the working
  // folder). Neither is a setting.
  std::string source;
  std::string imageFolder;

  bool operator==(const StyleSettings& other) const {
    return all == other.all && sizes == other.sizes && glyphs == other.glyphs;
  }
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
