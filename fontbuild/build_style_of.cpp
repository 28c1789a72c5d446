#include "fontbuild/build_style_of.h"

#include "fontbuild/style_table.h"

namespace qzf {

std::optional<BuildStyle> BuildStyleOf(const StyleSettings& settings, std::string& error) {
  BuildStyle style;
  style.sizes = SizeStylesOf(settings);
  for (const StyleSetting& setting : StyleTable()) {
    const auto found = settings.all.find(setting.name);
    if (!setting.toBuild || found == settings.all.end()) continue;
    error = setting.toBuild(found->second, settings, style);
    if (!error.empty()) return std::nullopt;
  }
  return style;
}

}  // namespace qzf
