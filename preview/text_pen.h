// Draws GBK text through the font calls, the way the window's static texts
// show it: grey glyph bitmaps blended over a canvas.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/portable/glyph_render_ops.h"
#include "platform/portable/selected_font.h"
#include "preview/canvas.h"

namespace qzf {

// The face pictures write their labels in; any installed face stands in for
// it when it is missing.
inline constexpr char kLabelFace[] = "Noto Sans CJK SC";

class TextPen {
 public:
  TextPen(const GlyphRenderOps& ops, const char* face, int height);
  bool ok() const { return font_.dc() != nullptr; }

  // Draws with the top of the line at `top`; returns the advance.
  std::int64_t Draw(Canvas& canvas, std::int64_t x, std::int64_t top, std::string_view gbk, Rgb ink);
  // The advance the text would take.
  std::int64_t Measure(std::string_view gbk);

 private:
  std::int64_t Walk(Canvas* canvas, std::int64_t x, std::int64_t top, std::string_view gbk, Rgb ink);

  const GlyphRenderOps& ops_;
  SelectedFont font_;
  std::int32_t ascent_ = 0;
};

}  // namespace qzf
