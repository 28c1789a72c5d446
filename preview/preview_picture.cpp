#include "preview/preview_picture.h"

#include <algorithm>
#include <string_view>

#include "fontpatch/font_file_report.h"
#include "platform/portable/selected_font.h"
#include "preview/preview_lines.h"

namespace qzf {
namespace {

struct Rgb {
  std::uint8_t r, g, b;
};
constexpr Rgb kBackground{28, 30, 38};
constexpr Rgb kBand{12, 12, 18};
constexpr Rgb kPreviewInk{238, 222, 206};  // the window's preview colour
constexpr Rgb kLabelInk{150, 160, 175};
constexpr Rgb kCellPaper{250, 248, 240};
constexpr Rgb kCellInk{20, 20, 30};

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint32_t kSamples = 12;
constexpr std::uint32_t kMargin = 24;

class Canvas {
 public:
  Canvas(std::uint32_t width, std::uint32_t height) : picture_{width, height, {}} {
    picture_.rgb.resize(std::size_t{width} * height * 3);
    Fill(0, 0, width, height, kBackground);
  }
  void Fill(std::uint32_t x0, std::uint32_t y0, std::uint32_t w, std::uint32_t h, Rgb c) {
    for (std::uint32_t y = y0; y < std::min(y0 + h, picture_.height); ++y)
      for (std::uint32_t x = x0; x < std::min(x0 + w, picture_.width); ++x) Set(x, y, c);
  }
  // Mixes ink over what is there by coverage 0..max.
  void Blend(std::int64_t x, std::int64_t y, Rgb ink, unsigned coverage, unsigned max) {
    if (x < 0 || y < 0 || x >= picture_.width || y >= picture_.height || coverage == 0) return;
    std::uint8_t* p = &picture_.rgb[(static_cast<std::size_t>(y) * picture_.width + static_cast<std::size_t>(x)) * 3];
    coverage = std::min(coverage, max);
    p[0] = static_cast<std::uint8_t>((p[0] * (max - coverage) + ink.r * coverage) / max);
    p[1] = static_cast<std::uint8_t>((p[1] * (max - coverage) + ink.g * coverage) / max);
    p[2] = static_cast<std::uint8_t>((p[2] * (max - coverage) + ink.b * coverage) / max);
  }
  RgbPicture Take() { return std::move(picture_); }

 private:
  void Set(std::uint32_t x, std::uint32_t y, Rgb c) {
    std::uint8_t* p = &picture_.rgb[(std::size_t{y} * picture_.width + x) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
  }
  RgbPicture picture_;
};

// Draws GBK text with the font calls, the way the window's statics show it.
class TextPen {
 public:
  TextPen(const GlyphRenderOps& ops, const char* face, int height)
      : ops_(ops), font_(ops, height, ANTIALIASED_QUALITY, face) {
    if (font_.dc()) {
      TEXTMETRICA metrics{};
      ops_.getTextMetricsFn(font_.dc(), &metrics);
      ascent_ = metrics.tmAscent;
    }
  }
  bool ok() const { return font_.dc() != nullptr; }

  void Draw(Canvas& canvas, std::int64_t x, std::int64_t top, std::string_view gbk, Rgb ink) {
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
      bitmap.assign(std::size_t{size} + 4, 0);
      if (size && ops_.getGlyphOutlineFn(font_.dc(), code, GGO_GRAY4_BITMAP, &glyph, size, bitmap.data(), &identity) !=
                      GDI_ERROR) {
        const std::uint32_t pitch = (glyph.gmBlackBoxX + 3) / 4 * 4;
        for (std::uint32_t row = 0; row < glyph.gmBlackBoxY && (row + 1) * pitch <= size; ++row)
          for (std::uint32_t col = 0; col < glyph.gmBlackBoxX; ++col)
            canvas.Blend(x + glyph.gmptGlyphOrigin.x + col, top + ascent_ - glyph.gmptGlyphOrigin.y + row, ink,
                         bitmap[row * pitch + col], 16);
      }
      x += glyph.gmCellIncX;
    }
  }

 private:
  const GlyphRenderOps& ops_;
  SelectedFont font_;
  std::int32_t ascent_ = 0;
};

void DrawCell(Canvas& canvas, std::span<const unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell,
              std::uint32_t x0, std::uint32_t y0, std::uint32_t scale) {
  const std::vector<std::uint8_t> levels = CellLevels(image, size, cell);
  const std::uint32_t s = size.cellSize;
  canvas.Fill(x0, y0, s * scale, s * scale, kCellPaper);
  for (std::uint32_t y = 0; y < s * scale; ++y)
    for (std::uint32_t x = 0; x < s * scale; ++x)
      canvas.Blend(x0 + x, y0 + y, kCellInk, levels[std::size_t{y / scale} * s + x / scale], 15);
}

}  // namespace

std::optional<RgbPicture> DrawPreviewPicture(const char* faceName, std::span<const unsigned char> stock,
                                             std::span<const unsigned char> built, const GlyphRenderOps* opsOrNull) {
  const GlyphRenderOps ops = ResolveGlyphRenderOps(opsOrNull);
  TextPen preview(ops, faceName, 24);
  TextPen label(ops, "Noto Sans CJK SC", 16);
  if (!preview.ok()) return std::nullopt;

  // Sample the cells the build changed, spread over the table.
  const FontFileDiff diff = DiffFontFiles(stock, built);
  const std::vector<std::uint32_t>& changed = diff.changedCells[1];
  std::vector<std::uint32_t> samples;
  for (std::uint32_t k = 0; k < kSamples && !changed.empty(); ++k)
    samples.push_back(changed[static_cast<std::size_t>(k) * (changed.size() - 1) / (kSamples - 1)]);

  const std::uint32_t scales[3] = {2, 2, 1};
  std::uint32_t height = kMargin + 3 * 36 + kMargin;
  for (std::size_t t = 0; t < 3; ++t) height += 24 + 2 * (SizeModeTable[t].cellSize * scales[t] + 8) + kMargin;
  Canvas canvas(kWidth, height);

  canvas.Fill(0, 0, kWidth, kMargin + 3 * 36 + kMargin / 2, kBand);
  const char* lines[] = {kPreviewLine1, kPreviewLine2, kPreviewLine3};
  for (int i = 0; i < 3; ++i) preview.Draw(canvas, 140, kMargin + i * 36, lines[i], kPreviewInk);

  std::uint32_t y = kMargin + 3 * 36 + kMargin;
  for (std::size_t t = 0; t < 3; ++t) {
    const GlyphSizeInfo& size = SizeModeTable[t];
    const std::uint32_t box = size.cellSize * scales[t];
    if (label.ok()) {
      const std::string text = std::to_string(size.cellSize) + " px: stock above, built below";
      label.Draw(canvas, kMargin, y, text, kLabelInk);
    }
    y += 24;
    for (int row = 0; row < 2; ++row) {
      const auto image = row == 0 ? stock : built;
      for (std::size_t k = 0; k < samples.size(); ++k)
        DrawCell(canvas, image, size, samples[k], kMargin + static_cast<std::uint32_t>(k) * (box + 12), y, scales[t]);
      y += box + 8;
    }
    y += kMargin;
  }
  return canvas.Take();
}

}  // namespace qzf
