#include "studio/style_json.h"

#include <algorithm>
#include <cmath>

namespace qzf::studio {
namespace {

using nlohmann::json;

std::string Where(int cellSize) { return cellSize > 0 ? std::to_string(cellSize) + " 像素的" : ""; }

bool ReadInt(const json& object, const char* key, int low, int high, std::optional<int>& into, const std::string& name,
             std::string& error) {
  if (!object.contains(key) || object[key].is_null()) return true;
  const json& value = object[key];
  if (!value.is_number_integer() || value.get<long long>() < low || value.get<long long>() > high) {
    error = name + "必须是 " + std::to_string(low) + " 到 " + std::to_string(high) + " 的整数";
    return false;
  }
  into = value.get<int>();
  return true;
}

bool ReadBool(const json& object, const char* key, std::optional<bool>& into, const std::string& name,
              std::string& error) {
  if (!object.contains(key) || object[key].is_null()) return true;
  if (!object[key].is_boolean()) {
    error = name + "必须是“是”或“否”";
    return false;
  }
  into = object[key].get<bool>();
  return true;
}

bool ReadSize(const json& object, int cellSize, SizeStyleSettings& into, std::string& error) {
  if (!object.is_object()) {
    error = "样式格式不对";
    return false;
  }
  static const char* const kKeys[] = {"glyphSize", "baseline", "shift", "weight", "italic", "mono", "gamma"};
  for (const auto& item : object.items()) {
    if (std::find(std::begin(kKeys), std::end(kKeys), item.key()) == std::end(kKeys)) {
      error = "不认识的样式项“" + item.key() + "”";
      return false;
    }
  }
  const std::string where = Where(cellSize);
  const int limit = cellSize > 0 ? cellSize : 64;
  if (!ReadInt(object, "glyphSize", kMinGlyphSize, kMaxGlyphSize, into.glyphSize, where + "字号（字身高度）", error) ||
      !ReadInt(object, "baseline", 0, limit, into.baseline, where + "基线", error) ||
      !ReadInt(object, "weight", kMinWeight, kMaxWeight, into.weight, where + "字重", error) ||
      !ReadBool(object, "italic", into.italic, where + "斜体", error) ||
      !ReadBool(object, "mono", into.mono, where + "黑白两级", error)) {
    return false;
  }
  if (object.contains("shift") && !object["shift"].is_null()) {
    const json& shift = object["shift"];
    const bool pair =
        shift.is_array() && shift.size() == 2 && shift[0].is_number_integer() && shift[1].is_number_integer();
    if (!pair || std::abs(shift[0].get<long long>()) > limit || std::abs(shift[1].get<long long>()) > limit) {
      error = where + "位移必须是两个 -" + std::to_string(limit) + " 到 " + std::to_string(limit) + " 的整数";
      return false;
    }
    into.shift = std::make_pair(shift[0].get<int>(), shift[1].get<int>());
  }
  if (object.contains("gamma") && !object["gamma"].is_null()) {
    const json& gamma = object["gamma"];
    if (!gamma.is_number() || !CheckGamma(gamma.get<double>()).empty()) {
      error = where + "灰度曲线（gamma）必须是 0.1 到 10 的数";
      return false;
    }
    into.gamma = gamma.get<double>();
  }
  return true;
}

bool ReadNames(const json& object, const char* key, std::optional<std::vector<std::string>>& into,
               const std::string& name, std::string& error) {
  if (!object.contains(key) || object[key].is_null()) return true;
  const json& list = object[key];
  if (!list.is_array() || list.size() > 16) {
    error = name + "必须是不超过 16 个名字的列表";
    return false;
  }
  std::vector<std::string> names;
  for (const json& item : list) {
    if (!item.is_string() || item.get<std::string>().empty() || item.get<std::string>().size() > 255) {
      error = name + "里有一个名字不对";
      return false;
    }
    names.push_back(item.get<std::string>());
  }
  into = names;
  return true;
}

json SizeToJson(const SizeStyleSettings& s) {
  json out = json::object();
  if (s.glyphSize) out["glyphSize"] = *s.glyphSize;
  if (s.baseline) out["baseline"] = *s.baseline;
  if (s.shift) out["shift"] = {s.shift->first, s.shift->second};
  if (s.weight) out["weight"] = *s.weight;
  if (s.italic) out["italic"] = *s.italic;
  if (s.mono) out["mono"] = *s.mono;
  if (s.gamma) out["gamma"] = *s.gamma;
  return out;
}

}  // namespace

std::optional<StyleSettings> StyleFromJson(const json& object, std::string& error) {
  if (!object.is_object()) {
    error = "样式格式不对";
    return std::nullopt;
  }
  static const char* const kKeys[] = {"face", "fallback", "fontFile", "align", "fit", "all", "sizes"};
  for (const auto& item : object.items()) {
    if (std::find(std::begin(kKeys), std::end(kKeys), item.key()) == std::end(kKeys)) {
      error = "不认识的样式项“" + item.key() + "”";
      return std::nullopt;
    }
  }
  StyleSettings settings;
  if (object.contains("face") && !object["face"].is_null()) {
    if (!object["face"].is_string() || object["face"].get<std::string>().size() > 255) {
      error = "字体名不对";
      return std::nullopt;
    }
    settings.face = object["face"].get<std::string>();
  }
  if (!ReadNames(object, "fallback", settings.fallback, "后备字体", error) ||
      !ReadNames(object, "fontFile", settings.fontFile, "字体文件", error)) {
    return std::nullopt;
  }
  if (object.contains("align") && !object["align"].is_null()) {
    const json& align = object["align"];
    if (align == "design") {
      settings.align = GlyphAlign::kDesign;
    } else if (align == "center") {
      settings.align = GlyphAlign::kCenter;
    } else {
      error = "对齐方式必须是“按字体设计”或“居中”";
      return std::nullopt;
    }
  }
  if (object.contains("fit") && !object["fit"].is_null()) {
    if (!object["fit"].is_boolean()) {
      error = "“自动适配”必须是“是”或“否”";
      return std::nullopt;
    }
    settings.fit = object["fit"].get<bool>();
  }
  if (object.contains("all") && !object["all"].is_null() && !ReadSize(object["all"], 0, settings.all, error))
    return std::nullopt;
  if (object.contains("sizes") && !object["sizes"].is_null()) {
    const json& sizes = object["sizes"];
    if (!sizes.is_object()) {
      error = "样式格式不对";
      return std::nullopt;
    }
    for (const auto& item : sizes.items()) {
      const std::string& key = item.key();
      const int cellSize = key == "20" ? 20 : key == "24" ? 24 : key == "64" ? 64 : 0;
      const auto index = SizeIndexOf(cellSize);
      if (!index) {
        error = "字号只有 20、24、64 三种，没有“" + key + "”";
        return std::nullopt;
      }
      if (!item.value().is_null() && !ReadSize(item.value(), cellSize, settings.sizes[*index], error))
        return std::nullopt;
    }
  }
  return settings;
}

json StyleToJson(const StyleSettings& settings) {
  json out = json::object();
  if (settings.face) out["face"] = *settings.face;
  if (settings.fallback) out["fallback"] = *settings.fallback;
  if (settings.fontFile) out["fontFile"] = *settings.fontFile;
  if (settings.align) out["align"] = *settings.align == GlyphAlign::kCenter ? "center" : "design";
  if (settings.fit) out["fit"] = *settings.fit;
  out["all"] = SizeToJson(settings.all);
  json sizes = json::object();
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i)
    sizes[std::to_string(SizeModeTable[i].cellSize)] = SizeToJson(settings.sizes[i]);
  out["sizes"] = sizes;
  return out;
}

}  // namespace qzf::studio
