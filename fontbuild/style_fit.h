// Fitting a style to a face: how big its glyphs may be drawn and where their
// middle lies. Both are measured on the glyphs a build would draw (the face's
// or its fallbacks'), placed in their cells as the pass places them.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "fontbuild/ink_box_cache.h"
#include "fontpatch/glyph_renderer.h"
#include "fontpatch/glyph_style.h"
#include "platform/portable/glyph_render_ops.h"

namespace qzf {

// At most this share of the characters may lose ink at the cell edges when
// the glyphs are made as big as they fit.
inline constexpr double kFitCutShare = 0.005;

struct SizeFit {
  std::int32_t emHeight = 0;        // as given, or as the fit chose it
  std::int32_t alignX = 0;          // the centring offset, pixels right
  std::int32_t alignY = 0;          // pixels down
  std::uint32_t cutCharacters = 0;  // of the characters measured, those whose ink the cell cuts
};

struct StyleFitRequest {
  RenderFace face;
  std::vector<RenderFace> fallbackFaces;
  std::vector<std::uint16_t> characters;  // GBK codes, lead byte high: the dictionary's
  const GlyphRenderOps* ops = nullptr;
  unsigned threads = 0;  // that draw the glyphs; 0: see GlyphWorkerCount
  // Where measured boxes are kept and looked up; null: measured every time.
  InkBoxCache* cache = nullptr;
  // Asked as the glyphs are drawn: true abandons the fit (FitStopped is
  // thrown). The em heights measured whole until then stay in the cache.
  std::function<bool()> stop;
};

// A fit abandoned because its request's `stop` said so.
class FitStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "the fit was stopped"; }
};

// The style centring measures a size's glyphs in: the shift and the grey
// curve left out (the shift moves the glyphs after centring).
GlyphStyle CentringMeasureStyle(GlyphStyle style);

// For one size: with `fit`, the largest em height at which at most
// kFitCutShare of the characters lose ink (the style's own em height
// otherwise); with `center`, the offset that centres the median ink box of
// the CJK ideographs among the characters.
SizeFit FitSizeStyle(const StyleFitRequest& request, const GlyphSizeInfo& size, const GlyphStyle& style, bool fit,
                     bool center);

// Whether a GBK character is a CJK ideograph.
bool IsCjkIdeograph(std::uint16_t gbk);

}  // namespace qzf
