// A picture of what a build gives, for people: the window's three preview
// lines drawn in the chosen face, then sample cells of each size before (the
// stock file) and after (the built file).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/portable/glyph_render_ops.h"

namespace qzf {

struct RgbPicture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> rgb;  // rows top first
};

// Both images must pass the font file test. Nullopt when the face cannot be
// created.
std::optional<RgbPicture> DrawPreviewPicture(const char* faceName, std::span<const unsigned char> stock,
                                             std::span<const unsigned char> built, const GlyphRenderOps* ops = nullptr);

}  // namespace qzf
