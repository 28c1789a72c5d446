#include "fontbuild/style_tree.h"

#include "fontbuild/style_table.h"

#include <algorithm>
#include <cctype>

namespace qzf {
namespace {

bool IsNull(const RawValue& raw) { return std::holds_alternative<RawValue::Null>(raw.value); }

// The index in SizeModeTable of a size written as its digits ("20").
std::optional<std::size_t> SizeIndexOfName(std::string_view name) {
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i)
    if (name == std::to_string(SizeModeTable[i].cellSize)) return i;
  return std::nullopt;
}

// forGlyph: the value is one character's, which takes face, image and the
// per-size settings; the whole font takes every setting but image.
bool ReadOne(const std::string& name, const RawValue& raw, int cellSize, SettingValues& into, ValueError& error,
             bool forGlyph = false) {
  if (IsNull(raw)) return true;
  const StyleSetting* setting = FindStyleSetting(name);
  if (!setting) {
    error = {ValueProblem::kUnknownSetting, "", name, cellSize, raw.line, {}};
    return false;
  }
  if (cellSize > 0 && !setting->perSize) {
    error = {ValueProblem::kNotPerSize, name, "", cellSize, raw.line, {}};
    return false;
  }
  if (!forGlyph && setting->glyphOnly) {
    error = {ValueProblem::kGlyphOnly, name, "", cellSize, raw.line, {}};
    return false;
  }
  if (forGlyph && !setting->perSize && setting->name != "face") {
    error = {ValueProblem::kNotForGlyph, name, "", cellSize, raw.line, {}};
    return false;
  }
  const auto value = ReadStyleValue(*setting, raw, cellSize, error);
  if (!value) return false;
  into[name] = *value;
  return true;
}

bool ReadSizes(const RawValue& raw, std::array<SettingValues, SizeModeTable.size()>& into, ValueError& error,
               bool forGlyph = false) {
  const auto* sizes = std::get_if<RawTable>(&raw.value);
  if (!sizes) {
    error = {ValueProblem::kNotTable, std::string(kSizeKey), RawValueText(raw), 0, raw.line, {}};
    return false;
  }
  for (const auto& [key, table] : *sizes) {
    if (IsNull(table)) continue;
    const auto index = SizeIndexOfName(key);
    if (!index) {
      error = {ValueProblem::kBadSize, std::string(kSizeKey), key, 0, table.line, {}};
      return false;
    }
    const int cellSize = static_cast<int>(SizeModeTable[*index].cellSize);
    const auto* values = std::get_if<RawTable>(&table.value);
    if (!values) {
      error = {ValueProblem::kNotTable, std::string(kSizeKey), RawValueText(table), cellSize, table.line, {}};
      return false;
    }
    for (const auto& [name, value] : *values)
      if (!ReadOne(name, value, cellSize, into[*index], error, forGlyph)) return false;
  }
  return true;
}

// One character's table; errors name the character.
bool ReadGlyph(const std::string& key, const RawValue& raw, GlyphSettings& into, ValueError& error) {
  into.line = raw.line;
  const auto* table = std::get_if<RawTable>(&raw.value);
  bool ok = IsGlyphKey(key);
  if (!ok) error = {ValueProblem::kBadGlyph, std::string(kGlyphKey), key, 0, raw.line, {}};
  if (ok && !table) {
    error = {ValueProblem::kNotTable, std::string(kGlyphKey), RawValueText(raw), 0, raw.line, {}};
    ok = false;
  }
  for (std::size_t i = 0; ok && i < table->size(); ++i) {
    const auto& [name, value] = (*table)[i];
    if (name == kSizeKey) {
      ok = ReadSizes(value, into.sizes, error, true);
    } else if (const auto* sizes = std::get_if<RawTable>(&value.value)) {
      // { 20 = 18, 64 = 58 }: the setting per size.
      RawTable bySize;
      for (const auto& [size, item] : *sizes) bySize.emplace_back(size, RawValue{RawTable{{name, item}}, item.line});
      ok = ReadSizes(RawValue{std::move(bySize), value.line}, into.sizes, error, true);
    } else {
      ok = ReadOne(name, value, 0, into.all, error, true);
    }
  }
  if (!ok) error.glyph = key;
  return ok;
}

bool ReadGlyphs(const RawValue& raw, StyleSettings& settings, ValueError& error) {
  const auto* glyphs = std::get_if<RawTable>(&raw.value);
  if (!glyphs) {
    error = {ValueProblem::kNotTable, std::string(kGlyphKey), RawValueText(raw), 0, raw.line, {}};
    return false;
  }
  for (const auto& [key, table] : *glyphs) {
    if (IsNull(table)) continue;
    if (!ReadGlyph(key, table, settings.glyphs[key], error)) return false;
  }
  return true;
}

// One level of settings, in the table's order, with the per-size ones under "size".
void AppendSettings(RawTable& into, const SettingValues& all,
                    const std::array<SettingValues, SizeModeTable.size()>& perSize) {
  for (const StyleSetting& setting : StyleTable())
    if (const auto found = all.find(setting.name); found != all.end())
      into.emplace_back(std::string(setting.name), RawOf(found->second));
  RawTable sizes;
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
    RawTable values;
    for (const StyleSetting& setting : StyleTable())
      if (const auto found = perSize[i].find(setting.name); found != perSize[i].end())
        values.emplace_back(std::string(setting.name), RawOf(found->second));
    if (!values.empty()) sizes.emplace_back(std::to_string(SizeModeTable[i].cellSize), RawValue{std::move(values)});
  }
  if (!sizes.empty()) into.emplace_back(std::string(kSizeKey), RawValue{std::move(sizes)});
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

}  // namespace

std::optional<StyleSettings> ReadStyleTree(const RawTable& root, ValueError& error) {
  StyleSettings settings;
  for (const auto& [key, raw] : root) {
    if (IsNull(raw)) continue;
    const bool ok = key == kSizeKey    ? ReadSizes(raw, settings.sizes, error)
                    : key == kGlyphKey ? ReadGlyphs(raw, settings, error)
                                       : ReadOne(key, raw, 0, settings.all, error);
    if (!ok) return std::nullopt;
  }
  return settings;
}

RawValue RawOf(const StyleValue& value) {
  struct Visitor {
    RawValue operator()(bool b) const { return {b}; }
    RawValue operator()(int i) const { return {std::int64_t{i}}; }
    RawValue operator()(double d) const { return {d}; }
    RawValue operator()(const IntPair& p) const {
      return {std::vector<RawValue>{{std::int64_t{p[0]}}, {std::int64_t{p[1]}}}};
    }
    RawValue operator()(const std::string& s) const { return {s}; }
    RawValue operator()(const std::vector<std::string>& list) const {
      std::vector<RawValue> items;
      for (const std::string& s : list) items.push_back({s});
      return {std::move(items)};
    }
  };
  return std::visit(Visitor{}, value);
}

RawTable StyleTree(const StyleSettings& settings) {
  RawTable root;
  AppendSettings(root, settings.all, settings.sizes);
  RawTable glyphs;
  for (const auto& [key, glyph] : settings.glyphs) {
    RawTable values;
    AppendSettings(values, glyph.all, glyph.sizes);
    glyphs.emplace_back(key, RawValue{std::move(values)});
  }
  if (!glyphs.empty()) root.emplace_back(std::string(kGlyphKey), RawValue{std::move(glyphs)});
  return root;
}

bool IsGlyphKey(std::string_view key) {
  if (key.size() == 6 && key.starts_with("0x"))
    return std::all_of(key.begin() + 2, key.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
  if (key.empty()) return false;
  // One UTF-8 character, no more, not a control character.
  const auto lead = static_cast<unsigned char>(key[0]);
  const std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                             : lead >= 0xE0                 ? 3
                             : lead >= 0xC2                 ? 2
                                                            : 0;
  if (length == 0 || key.size() != length || (length == 1 && (lead < 0x20 || lead == 0x7F))) return false;
  return std::all_of(key.begin() + 1, key.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; });
}

bool ReadSettingText(const StyleSetting& setting, const std::string& text, StyleSettings& into, ValueError& error) {
  const std::string name(setting.name);
  if (!setting.perSize || text.find('=') == std::string::npos) {
    const auto value = ReadStyleValue(setting, {RawValue::Text{text}}, 0, error);
    if (value) into.all[name] = *value;
    return value.has_value();
  }
  std::array<bool, SizeModeTable.size()> seen{};
  for (const std::string& item : Split(text, ',')) {
    const std::size_t equals = item.find('=');
    const auto index = equals == std::string::npos ? std::nullopt : SizeIndexOfName(item.substr(0, equals));
    if (!index) {
      error = {ValueProblem::kBadSizeList, name, item, 0, 0, {}};
      return false;
    }
    const int cellSize = static_cast<int>(SizeModeTable[*index].cellSize);
    if (seen[*index]) {
      error = {ValueProblem::kDuplicateSize, name, item, cellSize, 0, {}};
      return false;
    }
    seen[*index] = true;
    const auto value = ReadStyleValue(setting, {RawValue::Text{item.substr(equals + 1)}}, cellSize, error);
    if (!value) return false;
    into.sizes[*index][name] = *value;
  }
  return true;
}

}  // namespace qzf
