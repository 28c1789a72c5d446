// The cells single characters and codes have of their own (a style's
// [glyph."X"] tables): drawn in their own face and style, or taken from their
// pictures, per size, before the passes put them in place of the font's.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "fontbuild/style_fit.h"
#include "fontpatch/glyph_renderer.h"
#include "fontpatch/glyph_style.h"
#include "fontpatch/patch_pass.h"
#include "i18n/message_catalog.h"

namespace qzf {

struct OwnCellsRequest {
  const std::vector<GlyphOverride>* glyphs = nullptr;
  RenderFace face;                             // the build's
  std::vector<RenderFace> fallbacks;           // the build's, checked
  const QorvStringDict* dictionary = nullptr;  // gives a code's character
  // Per size, what fitting and centring chose for the font (applied when `fitted`).
  std::array<SizeFit, SizeModeTable.size()> fits{};
  bool fitted = false;
  bool allowSubstitute = false;
  const GlyphRenderOps* ops = nullptr;
  unsigned threads = 0;
  MessageLanguage language = MessageLanguage::kEnglish;  // of the refusal
};

using OwnCells = std::array<std::vector<CellOverride>, SizeModeTable.size()>;

// Every glyph's cells, in the order of `glyphs`; an error naming the glyph
// (its `where`) when one cannot be had: a face not installed. A code the
// dictionary keeps gets only its pictures (UnreachedGlyph refuses it without).
std::string DrawOwnCells(const OwnCellsRequest& request, OwnCells& out);

// Why a glyph is refused that no cell of the font file reaches: a code not in
// its code table, a character no code's dictionary entry draws, a code the
// dictionary keeps without a picture for every size. `file`: the
// count and code table at least. Empty when every glyph is reached.
std::string UnreachedGlyph(const std::vector<GlyphOverride>& glyphs, std::span<const unsigned char> file,
                           const QorvStringDict& dictionary, MessageLanguage language);

}  // namespace qzf
