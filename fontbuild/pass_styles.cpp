#include "fontbuild/pass_styles.h"

namespace qzf {
namespace {

// A fit of one size tries fewer than ten em heights.
constexpr std::size_t kBuildInkBoxes = 32;

}  // namespace

bool StyleMeasures(const BuildStyle& style) { return style.fit || style.align == GlyphAlign::kCenter; }

PassStyles ResolvePassStyles(const BuildStyle& style, const StyleFitRequest* measureWith,
                             const std::function<void(const GlyphSizeInfo&)>& measuring) {
  PassStyles resolved;
  resolved.styles = style.sizes;
  // The sizes share what they measured: an em height one size's fit tried
  // is drawn once for all of them.
  InkBoxCache cache(kBuildInkBoxes);
  StyleFitRequest request;
  if (measureWith != nullptr) {
    request = *measureWith;
    if (request.cache == nullptr) request.cache = &cache;
  }
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
    SizeFit& fit = resolved.fits[i];
    fit.emHeight = style.sizes[i].emHeight;
    if (measureWith == nullptr) continue;
    if (measuring) measuring(SizeModeTable[i]);
    fit = FitSizeStyle(request, SizeModeTable[i], style.sizes[i], style.fit, style.align == GlyphAlign::kCenter);
    resolved.styles[i].emHeight = fit.emHeight;
    resolved.styles[i].shiftX += fit.alignX;
    resolved.styles[i].shiftY += fit.alignY;
  }
  return resolved;
}

}  // namespace qzf
