// The table of style settings: each setting's one name (style file, command
// line, JSON), kind, limits, default and texts, and how its value reaches a
// build and its record. Every front end and file format works from this
// table, so a new setting is one entry here plus the code that draws it.
//
// A new setting: a field in GlyphStyle (per size) or BuildStyle (whole build)
// that the drawing reads, with a default that draws as before; an entry in
// style_table.cpp with toSize/ofSize (or toBuild/ofBuild) between the value
// and that field. The option, the style file key, the JSON field, the record
// field, the checks and their messages, and the page's limits, step, default
// and label then follow; the page shows a control where its layout has an
// element with data-setting="NAME" (every size) or data-field="NAME" and
// data-size (one size).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fontbuild/style_value.h"
#include "fontpatch/glyph_style.h"

namespace qzf {

struct StyleSettings;

enum class SettingKind {
  kFlag,      // bool; on the command line a flag that sets it
  kInteger,   // int within [low, high]
  kNumber,    // double within [low, high]
  kPair,      // two ints within [low, high]; on the command line "A:B"
  kChoice,    // one of `choices`
  kText,      // non-empty UTF-8 of at most `high` bytes
  kTextList,  // at most `high` texts of at most 255 bytes; on the command line, repeat the option
};

struct StyleSetting {
  std::string_view name{};
  SettingKind kind = SettingKind::kFlag;
  bool perSize = false;  // may differ per cell size
  double low = 0, high = 0;
  // The limits are the cell size: high = the size (64 for every size), low = -high when low < 0.
  bool cellBound = false;
  double step = 1;                           // for the page's inputs
  std::optional<StyleValue> shownDefault{};  // what the page shows when not given (none: the font's own)
  std::vector<std::string_view> choices{};
  std::vector<std::string_view> choiceLabels{};  // Simplified Chinese, one per choice, for the page
  bool places = false;                           // it places the glyphs (a fit then does not centre them)
  bool glyphOnly = false;         // given for single characters only (in [glyph."X"]), never for the whole font
  std::string_view label{};       // Simplified Chinese, for the page and its messages
  std::string_view hint{};        // Simplified Chinese help, for the page
  std::string_view help{};        // English, for --help
  std::string_view recordName{};  // in the build record's style block
  // A per-size value into the style of one size.
  void (*toSize)(const StyleValue& value, GlyphStyle& style) = nullptr;
  // A value for the whole build; an English error when the system cannot take it.
  std::string (*toBuild)(const StyleValue& value, const StyleSettings& settings, BuildStyle& style) = nullptr;
  // What a build used, for its record (none: null).
  std::optional<StyleValue> (*ofSize)(const GlyphStyle& style) = nullptr;
  std::optional<StyleValue> (*ofBuild)(const BuildStyle& style) = nullptr;

  // The limits for a cell size (0: every size).
  double Low(int cellSize) const;
  double High(int cellSize) const;
};

std::span<const StyleSetting> StyleTable();
const StyleSetting* FindStyleSetting(std::string_view name);

// The face named in `settings`, and setting it; the front ends ask for it.
std::optional<std::string> FaceOf(const StyleSettings& settings);
void SetFace(StyleSettings& settings, const std::string& face);
// The font files named in `settings`, as given.
std::vector<std::string> FontFilesOf(const StyleSettings& settings);

// The style a build used, for saving: what was given, with what a fit chose
// (per size, its em heights) in place of the fit, and the alignment used.
StyleSettings StyleAsBuilt(StyleSettings settings, const BuildStyle& style,
                           const std::array<std::int32_t, SizeModeTable.size()>& fittedEmHeights);

}  // namespace qzf
