// A picture of what a build gives, for people: the window's three preview
// lines drawn in the chosen face as the window shows them, then, for each
// glyph size, the same lines drawn from the cells alone as the game shows
// them, from the stock file above and from the built file below.
#pragma once

#include <optional>
#include <span>

#include "platform/portable/glyph_render_ops.h"
#include "preview/canvas.h"
#include "preview/character_codes.h"

namespace qzf {

// Both images must pass the font file test; `codes` comes from the
// dictionary the file was built with. Nullopt when the face cannot be
// created.
std::optional<RgbPicture> DrawPreviewPicture(const char* faceName, std::span<const unsigned char> stock,
                                             std::span<const unsigned char> built, const CharacterCodes& codes,
                                             const GlyphRenderOps* ops = nullptr);

}  // namespace qzf
