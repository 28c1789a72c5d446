// The build's second stage: the style each pass draws with, fitted and
// centred where the build style asks for it.
#pragma once

#include <array>
#include <functional>

#include "fontbuild/style_fit.h"
#include "fontpatch/font_format.h"
#include "fontpatch/glyph_style.h"

namespace qzf {

struct PassStyles {
  std::array<GlyphStyle, SizeModeTable.size()> styles{};
  // Per size: the em height used (0: the cell height) and the centring
  // offset, as the style gave them or as fitting chose them.
  std::array<SizeFit, SizeModeTable.size()> fits{};
};

// Whether the style has the glyphs measured before they are drawn.
bool StyleMeasures(const BuildStyle& style);

// `measureWith` null: the style as given. Otherwise each size is measured on
// those characters, `measuring` told as each starts.
PassStyles ResolvePassStyles(const BuildStyle& style, const StyleFitRequest* measureWith,
                             const std::function<void(const GlyphSizeInfo&)>& measuring);

}  // namespace qzf
