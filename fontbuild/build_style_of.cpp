#include "fontbuild/build_style_of.h"

#include "platform/portable/codepage.h"
#include "platform/portable/system_path.h"

namespace qzf {

std::optional<BuildStyle> BuildStyleOf(const StyleSettings& settings, std::string& error) {
  BuildStyle style;
  style.sizes = SizeStylesOf(settings);
  style.fit = settings.fit.value_or(false);
  style.align =
      settings.align.value_or(style.fit && !settings.PlacementGiven() ? GlyphAlign::kCenter : GlyphAlign::kDesign);
  for (const std::string& face : settings.fallback.value_or(std::vector<std::string>{})) {
    const auto gbk = Utf8ToGbk(face);
    if (!gbk || gbk->empty() || gbk->size() >= 256) {
      error = "not a usable fallback face name: " + face;
      return std::nullopt;
    }
    style.fallbackFaces.push_back(*gbk);
  }
  for (const std::string& file : settings.fontFile.value_or(std::vector<std::string>{})) {
    const auto path = Utf8ToSystemPath(file);
    if (!path) {
      error = "the path " + file + " holds characters this system cannot use in file names";
      return std::nullopt;
    }
    style.fontFiles.push_back(*path);
  }
  return style;
}

}  // namespace qzf
