#include "fontbuild/style_settings.h"

#include "fontbuild/style_table.h"

namespace qzf {
namespace {

const StyleValue* ValueIn(const SettingValues& values, std::string_view name) {
  const auto found = values.find(name);
  return found == values.end() ? nullptr : &found->second;
}

}  // namespace

StyleSettings OverrideStyle(const StyleSettings& base, const StyleSettings& over) {
  StyleSettings out = base;
  for (const auto& [name, value] : over.all) {
    out.all[name] = value;
    // A value the command line gives for every size beats the file's per-size one.
    for (SettingValues& size : out.sizes) size.erase(name);
  }
  for (std::size_t i = 0; i < out.sizes.size(); ++i)
    for (const auto& [name, value] : over.sizes[i]) out.sizes[i][name] = value;
  for (const auto& [key, glyph] : over.glyphs) {
    GlyphSettings& into = out.glyphs[key];
    for (const auto& [name, value] : glyph.all) {
      into.all[name] = value;
      for (SettingValues& size : into.sizes) size.erase(name);
    }
    for (std::size_t i = 0; i < into.sizes.size(); ++i)
      for (const auto& [name, value] : glyph.sizes[i]) into.sizes[i][name] = value;
    if (glyph.line) into.line = glyph.line;
  }
  if (!over.source.empty()) {
    out.source = over.source;
    out.imageFolder = over.imageFolder;
  }
  return out;
}

bool PlacementGiven(const StyleSettings& settings) {
  for (const StyleSetting& setting : StyleTable()) {
    if (!setting.places) continue;
    if (settings.all.contains(setting.name)) return true;
    for (const SettingValues& size : settings.sizes)
      if (size.contains(setting.name)) return true;
  }
  return false;
}

std::array<GlyphStyle, SizeModeTable.size()> SizeStylesOf(const StyleSettings& settings) {
  std::array<GlyphStyle, SizeModeTable.size()> styles{};
  for (std::size_t i = 0; i < styles.size(); ++i) {
    for (const StyleSetting& setting : StyleTable()) {
      if (!setting.toSize) continue;
      const StyleValue* value = ValueIn(settings.sizes[i], setting.name);
      if (!value) value = ValueIn(settings.all, setting.name);
      if (value) setting.toSize(*value, styles[i]);
    }
  }
  return styles;
}

std::optional<std::size_t> SizeIndexOf(int cellSize) {
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i)
    if (static_cast<int>(SizeModeTable[i].cellSize) == cellSize) return i;
  return std::nullopt;
}

}  // namespace qzf
