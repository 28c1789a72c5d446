// A glyph style as a person gives it: in a style file, on the command line or
// in the studio. Every field is optional, so that one source can override
// another field by field (the command line wins over the file); names and
// paths are UTF-8 text, converted by the front end that hands the style to a
// build.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fontpatch/glyph_style.h"

namespace qzf {

struct SizeStyleSettings {
  std::optional<int> glyphSize;              // em height in pixels
  std::optional<int> baseline;               // cell row of the baseline
  std::optional<std::pair<int, int>> shift;  // pixels right, down
  std::optional<int> weight;
  std::optional<bool> italic;
  std::optional<bool> mono;
  std::optional<double> gamma;

  bool operator==(const SizeStyleSettings&) const = default;
};

struct StyleSettings {
  std::optional<std::string> face;
  std::optional<std::vector<std::string>> fallback;
  std::optional<std::vector<std::string>> fontFile;
  std::optional<GlyphAlign> align;
  std::optional<bool> fit;
  SizeStyleSettings all;                                      // for every size
  std::array<SizeStyleSettings, SizeModeTable.size()> sizes;  // per size, over `all`

  bool operator==(const StyleSettings&) const = default;
  // Whether the glyphs' place is given: a baseline, a shift or an alignment.
  bool PlacementGiven() const;
};

// `over`'s given fields replace `base`'s.
StyleSettings OverrideStyle(const StyleSettings& base, const StyleSettings& over);

// The limits of each value, for the messages that name them.
inline constexpr int kMinGlyphSize = 4;
inline constexpr int kMaxGlyphSize = 128;
inline constexpr int kMinWeight = 100;
inline constexpr int kMaxWeight = 900;
inline constexpr double kMinGamma = 0.1;
inline constexpr double kMaxGamma = 10.0;

// Checks one value; empty when fine, else what is wrong, e.g. "must be an
// integer from 100 to 900". `cellSize` bounds baseline and shift (0: any size).
std::string CheckGlyphSize(int value);
std::string CheckBaseline(int value, int cellSize);
std::string CheckShift(int value, int cellSize);
std::string CheckWeight(int value);
std::string CheckGamma(double value);

// The style of each size that `settings` gives (faces and font files aside: the
// front end converts those). Every value must have passed its check.
std::array<GlyphStyle, SizeModeTable.size()> SizeStylesOf(const StyleSettings& settings);

// The index in SizeModeTable of a cell size (20, 24, 64); nullopt otherwise.
std::optional<std::size_t> SizeIndexOf(int cellSize);

}  // namespace qzf
