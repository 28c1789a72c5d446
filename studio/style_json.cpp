#include "studio/style_json.h"

#include <cstdint>
#include <limits>

#include "fontbuild/style_messages.h"
#include "fontbuild/style_table.h"
#include "fontbuild/style_tree.h"
#include "studio/studio_language.h"

namespace qzf::studio {
namespace {

using nlohmann::json;

RawValue RawOfJson(const json& value) {
  RawValue raw;
  switch (value.type()) {
    case json::value_t::null:
      raw.value = RawValue::Null{};
      break;
    case json::value_t::boolean:
      raw.value = value.get<bool>();
      break;
    case json::value_t::number_integer:
      raw.value = value.get<std::int64_t>();
      break;
    case json::value_t::number_unsigned: {
      // Above the largest signed integer: kept as a number, which no integer setting takes.
      const auto v = value.get<std::uint64_t>();
      if (v <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        raw.value = static_cast<std::int64_t>(v);
      } else {
        raw.value = static_cast<double>(v);
      }
      break;
    }
    case json::value_t::number_float:
      raw.value = value.get<double>();
      break;
    case json::value_t::string:
      raw.value = value.get<std::string>();
      break;
    case json::value_t::array: {
      std::vector<RawValue> items;
      for (const json& item : value) items.push_back(RawOfJson(item));
      raw.value = std::move(items);
      break;
    }
    case json::value_t::object: {
      RawTable entries;
      for (const auto& item : value.items()) entries.emplace_back(item.key(), RawOfJson(item.value()));
      raw.value = std::move(entries);
      break;
    }
    default:
      break;
  }
  return raw;
}

json JsonOf(const RawValue& raw) {
  if (const auto* b = std::get_if<bool>(&raw.value)) return *b;
  if (const auto* i = std::get_if<std::int64_t>(&raw.value)) return *i;
  if (const auto* d = std::get_if<double>(&raw.value)) return *d;
  if (const auto* s = std::get_if<std::string>(&raw.value)) return *s;
  if (const auto* list = std::get_if<std::vector<RawValue>>(&raw.value)) {
    json out = json::array();
    for (const RawValue& item : *list) out.push_back(JsonOf(item));
    return out;
  }
  if (const auto* table = std::get_if<RawTable>(&raw.value)) {
    json out = json::object();
    for (const auto& [key, value] : *table) out[key] = JsonOf(value);
    return out;
  }
  return nullptr;
}

const char* KindName(SettingKind kind) {
  switch (kind) {
    case SettingKind::kFlag:
      return "flag";
    case SettingKind::kInteger:
      return "integer";
    case SettingKind::kNumber:
      return "number";
    case SettingKind::kPair:
      return "pair";
    case SettingKind::kChoice:
      return "choice";
    case SettingKind::kText:
      return "text";
    case SettingKind::kTextList:
      return "list";
  }
  return "";
}

}  // namespace

std::optional<StyleSettings> StyleFromJson(const json& object, std::string& error) {
  if (!object.is_object()) {
    error = Text(MessageId::kStyleMalformed);
    return std::nullopt;
  }
  ValueError problem;
  auto settings = ReadStyleTree(std::get<RawTable>(RawOfJson(object).value), problem);
  if (!settings) error = ValueErrorText(problem, MessageLanguage::kChinese);
  return settings;
}

json StyleToJson(const StyleSettings& settings) { return JsonOf(RawValue{StyleTree(settings)}); }

json StyleTableJson() {
  json table = json::array();
  for (const StyleSetting& s : StyleTable()) {
    json entry{{"name", s.name}, {"kind", KindName(s.kind)}, {"perSize", s.perSize}, {"label", s.label},
               {"hint", s.hint}, {"step", s.step},           {"choices", s.choices}, {"choiceLabels", s.choiceLabels}};
    // Limits per size: the page's inputs for one size, and for every size (key "all").
    json limits = json::object();
    if (s.kind == SettingKind::kInteger || s.kind == SettingKind::kNumber || s.kind == SettingKind::kPair) {
      limits["all"] = {s.Low(0), s.High(0)};
      for (const auto& size : SizeModeTable)
        limits[std::to_string(size.cellSize)] = {s.Low(size.cellSize), s.High(size.cellSize)};
    }
    entry["limits"] = limits;
    // Taken only in a character's own table ("glyph": {"X": {...}}), never for the whole font.
    entry["glyphOnly"] = s.glyphOnly;
    entry["default"] = s.shownDefault ? JsonOf(RawOf(*s.shownDefault)) : json(nullptr);
    table.push_back(std::move(entry));
  }
  return table;
}

}  // namespace qzf::studio
