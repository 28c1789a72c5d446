// A glyph style as the page sends and receives it, in JSON of the style
// file's shape and names:
//   {"face": "...", "fallback": ["..."], "align": "design" | "center",
//    "fit": true, "weight": 700, ...,
//    "size": {"20": {"glyph-size": 18, "baseline": 17, "shift": [1, -1]}, "24": {...}, "64": {...}}}
// Every field may be left out or null: not given. Values are read by the
// style table's one reader; a bad one is named in Simplified Chinese for the
// page.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

#include "fontbuild/style_settings.h"

namespace qzf::studio {

std::optional<StyleSettings> StyleFromJson(const nlohmann::json& json, std::string& error);
nlohmann::json StyleToJson(const StyleSettings& settings);

// The style table for the page: each setting's name, kind, limits, step,
// default and Chinese texts.
nlohmann::json StyleTableJson();

}  // namespace qzf::studio
