// A style as a tree of named values, the shape a style file and a request
// share: the settings for every size at the top, and the per-size ones again
// under "size" → "20" | "24" | "64". TOML and JSON convert to and from this
// tree; reading and checking it is done once, here.
#pragma once

#include <optional>
#include <string>

#include "fontbuild/style_settings.h"
#include "fontbuild/style_value.h"

namespace qzf {

// The key under which the per-size tables stand.
inline constexpr std::string_view kSizeKey = "size";
// The key under which the single characters' tables stand, each under its
// character or game code, with its per-size values under "size" again or as
// a table of sizes in place of the value ({ 20 = 18 }).
inline constexpr std::string_view kGlyphKey = "glyph";

// Whether `key` names a glyph: one character, or a game code "0x" and four
// hex digits (either case).
bool IsGlyphKey(std::string_view key);

// Reads a tree; nullopt with the first error when a key is unknown, a value
// does not fit its setting, or a size is not 20, 24 or 64. Null values are
// not given.
std::optional<StyleSettings> ReadStyleTree(const RawTable& root, ValueError& error);

// The tree that gives exactly `settings`, in the table's order.
RawTable StyleTree(const StyleSettings& settings);

// One setting's command-line text into `into`: for a per-size setting either
// one value for every size or a list "20=18,24=22" (each size at most once).
bool ReadSettingText(const StyleSetting& setting, const std::string& text, StyleSettings& into, ValueError& error);

// A checked value as a tree value.
RawValue RawOf(const StyleValue& value);

}  // namespace qzf
