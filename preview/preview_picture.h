// A picture of what a build gives, for people: the window's three preview
// lines drawn in the chosen face as the window shows them, then, for each
// glyph size, the same lines drawn from the cells alone as the game shows
// them, from the stock file above and from each built file below it.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/portable/glyph_render_ops.h"
#include "preview/canvas.h"
#include "preview/character_codes.h"

namespace qzf {

// A built font file and what its blocks are labelled after the size.
struct PreviewFont {
  std::string label;  // GBK, e.g. "built with Noto Sans CJK SC"
  std::span<const unsigned char> image;
};

// Every image must pass the font file test; `codes` comes from the
// dictionary the files were built with. Per size, the stock file's lines
// come first, then each built file's in the order given. Nullopt when the
// face cannot be created.
std::optional<RgbPicture> DrawPreviewPicture(const char* faceName, std::span<const unsigned char> stock,
                                             std::span<const PreviewFont> built, const CharacterCodes& codes,
                                             const GlyphRenderOps* ops = nullptr);

}  // namespace qzf
