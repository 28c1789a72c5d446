#include "fontbuild/build_style_of.h"

#include <cstdio>

#include "fontbuild/style_messages.h"
#include "fontbuild/style_table.h"
#include "fontpatch/cell_image.h"
#include "fontpatch/font_file_report.h"
#include "platform/base/codepage.h"
#include "platform/portable/system_path.h"

namespace qzf {
namespace {

const StyleValue* GlyphValue(const GlyphSettings& glyph, std::size_t size, std::string_view name) {
  if (const auto found = glyph.sizes[size].find(name); found != glyph.sizes[size].end()) return &found->second;
  if (const auto found = glyph.all.find(name); found != glyph.all.end()) return &found->second;
  return nullptr;
}

bool IsAbsolute(const std::string& path) {
  return !path.empty() && (path[0] == '/' || path[0] == '\\' || (path.size() > 1 && path[1] == ':'));
}

// The picture of one size, by the rule of cell_image.h; an error after the
// glyph's name when it cannot be had.
std::string ReadImage(const StyleSettings& settings, const std::string& given, const GlyphSizeInfo& size,
                      std::vector<std::uint8_t>& levels) {
  std::string file = given;
  for (std::size_t at = file.find("{size}"); at != std::string::npos; at = file.find("{size}", at))
    file.replace(at, 6, std::to_string(size.cellSize));
  const std::string path = IsAbsolute(file) || settings.imageFolder.empty() ? file : settings.imageFolder + "/" + file;
  const auto systemPath = Utf8ToSystemPath(path);
  const auto bytes = systemPath ? ReadWholeFile(systemPath->c_str()) : std::nullopt;
  if (!bytes) return "image: cannot read " + file;
  CellImageResult image = CellImageLevels(*bytes, size);
  if (!image) return "image: " + file + " " + image.error;
  levels = std::move(image.levels);
  return "";
}

// One character's settings as a build takes them.
std::optional<GlyphOverride> OverrideOf(const StyleSettings& settings, const std::string& key,
                                        const GlyphSettings& glyph, const BuildStyle& font, std::string& error) {
  GlyphOverride out;
  out.key = key;
  out.where = "glyph." + QuotedValue(key);
  if (!settings.source.empty())
    out.where = settings.source + ":" + (glyph.line > 0 ? std::to_string(glyph.line) + ":" : "") + " " + out.where;
  auto fail = [&](const std::string& why) {
    error = out.where + ": " + why;
    return std::nullopt;
  };
  if (key.starts_with("0x")) {
    unsigned code = 0;
    std::sscanf(key.c_str() + 2, "%x", &code);
    out.code = static_cast<std::uint16_t>(code);
  } else {
    const auto gbk = Utf8ToGbk(key);
    if (!gbk || gbk->size() != 2 || static_cast<unsigned char>((*gbk)[0]) < 0x81)
      return fail("not a GBK character: no code of the dictionary can reach it");
    out.character =
        static_cast<std::uint16_t>(static_cast<unsigned char>((*gbk)[0]) << 8 | static_cast<unsigned char>((*gbk)[1]));
  }
  if (const auto face = glyph.all.find("face"); face != glyph.all.end()) {
    const auto gbk = Utf8ToGbk(std::get<std::string>(face->second));
    if (!gbk || gbk->empty() || gbk->size() >= 256) return fail("face: not a usable face name");
    out.face = *gbk;
  }
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
    out.sizes[i] = font.sizes[i];
    for (const StyleSetting& setting : StyleTable()) {
      const StyleValue* value = GlyphValue(glyph, i, setting.name);
      if (value && setting.toSize) setting.toSize(*value, out.sizes[i]);
    }
    out.emHeightGiven[i] = GlyphValue(glyph, i, "glyph-size") != nullptr;
    if (const StyleValue* image = GlyphValue(glyph, i, "image")) {
      const std::string problem = ReadImage(settings, std::get<std::string>(*image), SizeModeTable[i], out.images[i]);
      if (!problem.empty()) return fail(problem);
    }
  }
  return out;
}

}  // namespace

std::optional<BuildStyle> BuildStyleOf(const StyleSettings& settings, std::string& error) {
  BuildStyle style;
  style.sizes = SizeStylesOf(settings);
  for (const StyleSetting& setting : StyleTable()) {
    const auto found = settings.all.find(setting.name);
    if (!setting.toBuild || found == settings.all.end()) continue;
    error = setting.toBuild(found->second, settings, style);
    if (!error.empty()) return std::nullopt;
  }
  for (const auto& [key, glyph] : settings.glyphs) {
    auto resolved = OverrideOf(settings, key, glyph, style, error);
    if (!resolved) return std::nullopt;
    style.glyphs.push_back(std::move(*resolved));
  }
  return style;
}

}  // namespace qzf
