#include "preview/text_pen.h"

#include <vector>

namespace qzf {

TextPen::TextPen(const GlyphRenderOps& ops, const char* face, int height)
    : ops_(ops), font_(ops, height, ANTIALIASED_QUALITY, face) {
  if (font_.dc()) {
    TEXTMETRICA metrics{};
    ops_.getTextMetricsFn(font_.dc(), &metrics);
    ascent_ = metrics.tmAscent;
  }
}

std::int64_t TextPen::Draw(Canvas& canvas, std::int64_t x, std::int64_t top, std::string_view gbk, Rgb ink) {
  return Walk(&canvas, x, top, gbk, ink);
}

std::int64_t TextPen::Measure(std::string_view gbk) { return Walk(nullptr, 0, 0, gbk, Rgb{}); }

std::int64_t TextPen::Walk(Canvas* canvas, std::int64_t x, std::int64_t top, std::string_view gbk, Rgb ink) {
  if (!ok()) return 0;
  const std::int64_t start = x;
  MAT2 identity{};
  identity.eM11.value = 1;
  identity.eM22.value = 1;
  std::vector<unsigned char> bitmap;
  for (std::size_t i = 0; i < gbk.size();) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    UINT code = lead;
    if (lead >= 0x81 && i + 1 < gbk.size()) {
      code = lead * 256u + static_cast<unsigned char>(gbk[i + 1]);
      i += 2;
    } else {
      i += 1;
    }
    GLYPHMETRICS glyph{};
    const DWORD size = ops_.getGlyphOutlineFn(font_.dc(), code, GGO_GRAY4_BITMAP, &glyph, 0, nullptr, &identity);
    if (size == GDI_ERROR) continue;
    if (canvas && size) {
      bitmap.assign(std::size_t{size} + 4, 0);
      if (ops_.getGlyphOutlineFn(font_.dc(), code, GGO_GRAY4_BITMAP, &glyph, size, bitmap.data(), &identity) !=
          GDI_ERROR) {
        const std::uint32_t pitch = (glyph.gmBlackBoxX + 3) / 4 * 4;
        for (std::uint32_t row = 0; row < glyph.gmBlackBoxY && (row + 1) * pitch <= size; ++row)
          for (std::uint32_t col = 0; col < glyph.gmBlackBoxX; ++col)
            canvas->Blend(x + glyph.gmptGlyphOrigin.x + col, top + ascent_ - glyph.gmptGlyphOrigin.y + row, ink,
                          bitmap[row * pitch + col], 16);
      }
    }
    x += glyph.gmCellIncX;
  }
  return x - start;
}

}  // namespace qzf
