// A glyph style as the page sends and receives it, in JSON:
//   {"face": "...", "fallback": ["..."], "align": "design" | "center",
//    "fit": true,
//    "all":   {"glyphSize": 18, "baseline": 17, "shift": [1, -1], "weight": 700,
//              "italic": false, "mono": false, "gamma": 1.2},
//    "sizes": {"20": {...}, "24": {...}, "64": {...}}}
// Every field may be left out or null: not given. Values are checked as a
// style file's are; a bad one is named in Simplified Chinese for the page.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

#include "fontbuild/style_settings.h"

namespace qzf::studio {

std::optional<StyleSettings> StyleFromJson(const nlohmann::json& json, std::string& error);
nlohmann::json StyleToJson(const StyleSettings& settings);

}  // namespace qzf::studio
