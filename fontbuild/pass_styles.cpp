#include "fontbuild/pass_styles.h"

namespace qzf {

bool StyleMeasures(const BuildStyle& style) { return style.fit || style.align == GlyphAlign::kCenter; }

PassStyles ResolvePassStyles(const BuildStyle& style, const StyleFitRequest* measureWith,
                             const std::function<void(const GlyphSizeInfo&)>& measuring) {
  PassStyles resolved;
  resolved.styles = style.sizes;
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
    SizeFit& fit = resolved.fits[i];
    fit.emHeight = style.sizes[i].emHeight;
    if (measureWith == nullptr) continue;
    if (measuring) measuring(SizeModeTable[i]);
    fit = FitSizeStyle(*measureWith, SizeModeTable[i], style.sizes[i], style.fit, style.align == GlyphAlign::kCenter);
    resolved.styles[i].emHeight = fit.emHeight;
    resolved.styles[i].shiftX += fit.alignX;
    resolved.styles[i].shiftY += fit.alignY;
  }
  return resolved;
}

}  // namespace qzf
