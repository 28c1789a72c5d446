#include "fontpatch/glyph_renderer.h"

#include <new>

#include "platform/base/codepage.h"

namespace qzf {
namespace {

constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
// Zero bytes after a glyph's bitmap, as it was always handed on.
constexpr std::size_t kRawSlack = 4;

// Rows of a 1-bit bitmap are padded to 32 bits.
constexpr std::uint32_t MonoRowPitch(std::uint32_t width) { return (width + 31) / 32 * 4; }

}  // namespace

GlyphRenderer::GlyphRenderer(const RenderFace& face, const GlyphSizeInfo& size, const GlyphStyle& style,
                             const std::vector<RenderFace>& fallbackFaces, const GlyphRenderOps* ops)
    : size_(size), style_(style), levels_(GammaLevels(style.gamma)), curve_(style.gamma != 1.0) {
  FontRequest request;
  request.height = style.FontHeight(size);
  request.weight = style.weight;
  request.italic = style.italic;
  request.charSet = face.charSet;
  Font first{std::make_unique<SelectedFont>(face.name.c_str(), request, ops), face.charSet != GB2312_CHARSET};
  if (!first.font->fontCreated()) {
    status_ = Status::kFontCreationFailed;
    return;
  }
  if (!first.font->dc()) {
    status_ = Status::kMemoryDcFailed;
    return;
  }
  TEXTMETRICA metrics{};
  first.font->ops().getTextMetricsFn(first.font->dc(), &metrics);
  placement_.baselineRow = style.baseline.value_or(metrics.tmAscent) + style.shiftY;
  // Room for any glyph of the face: as wide as its widest character and a
  // slant more, as tall as its character cell; a glyph that needs more is
  // asked for its size.
  const auto width = static_cast<std::uint32_t>(std::max<LONG>(0, metrics.tmMaxCharWidth) +
                                                std::max<LONG>(0, metrics.tmHeight) / 2 + 8);
  const auto height = static_cast<std::uint32_t>(std::max<LONG>(1, metrics.tmHeight) + 2);
  try {
    raw_.assign(static_cast<std::size_t>(GlyphRowPitch(width)) * height + kRawSlack, 0);
  } catch (const std::bad_alloc&) {
    raw_.assign(kRawSlack, 0);
  }
  placement_.shiftX = style.shiftX;
  fonts_.push_back(std::move(first));
  for (const RenderFace& fallback : fallbackFaces) {
    request.charSet = fallback.charSet;
    Font font{std::make_unique<SelectedFont>(fallback.name.c_str(), request, ops), fallback.charSet != GB2312_CHARSET};
    // A fallback that cannot be had draws nothing; the list keeps its place.
    if (!font.font->dc()) font.font.reset();
    fonts_.push_back(std::move(font));
  }
}

bool GlyphRenderer::exactFace() const { return !fonts_.empty() && fonts_[0].font->FaceMatches(); }

std::string GlyphRenderer::faceUsed() const { return fonts_.empty() ? std::string() : fonts_[0].font->FaceName(); }

WORD GlyphRenderer::UnicodeGlyph(const Font& font, std::uint16_t character) const {
  const auto code = GbkCodeToUnicode(character);
  if (!code || *code > 0xFFFF) return 0xFFFF;
  const auto unit = static_cast<WCHAR>(*code);
  WORD index = 0xFFFF;
  if (font.font->ops().getGlyphIndicesWFn(font.font->dc(), &unit, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) != 1)
    return 0xFFFF;
  return index;
}

bool GlyphRenderer::HasGlyph(const Font& font, std::uint16_t character) const {
  if (font.byUnicode) return UnicodeGlyph(font, character) != 0xFFFF;
  const char text[2] = {static_cast<char>(character >> 8), static_cast<char>(character & 0xFF)};
  // Room for two indices: two bytes that are not one GBK character are two
  // characters to the font calls, and each gets an index.
  WORD indices[2] = {0, 0};
  return !(font.font->ops().getGlyphIndicesFn(font.font->dc(), text, 2, indices, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
           indices[0] == 0xFFFF);
}

bool GlyphRenderer::Fetch(const Font& font, std::uint16_t character) {
  UINT format = style_.mono ? GGO_BITMAP : GGO_GRAY4_BITMAP;
  UINT code = character;
  if (font.byUnicode) {
    // The face's own code page would misread a GBK code: go by glyph index,
    // the face's missing-glyph shape (glyph 0) where it has none.
    const WORD index = UnicodeGlyph(font, character);
    code = index == 0xFFFF ? 0 : index;
    format |= GGO_GLYPH_INDEX;
  }
  const GlyphRenderOps& ops = font.font->ops();
  const HDC dc = font.font->dc();
  metrics_ = GLYPHMETRICS{};
  // One call when the glyph fits the buffer: a size query first would have
  // the font load the glyph twice. What the last glyph left is cleared first
  // (the rest is zero still), as the pad bytes of the rows go into the cell.
  // A glyph that does not fit, an empty one (the font calls refuse a buffer
  // for it) and a failing one are asked for their size first.
  std::fill(raw_.begin(), raw_.begin() + static_cast<std::ptrdiff_t>(dirty_), 0);
  const DWORD room = static_cast<DWORD>(raw_.size() - kRawSlack);
  DWORD got = ops.getGlyphOutlineFn(dc, code, format, &metrics_, room, raw_.data(), &kIdentity);
  dirty_ = got != GDI_ERROR && got <= room ? got : room;
  if (got == GDI_ERROR || got == 0 || got > room) {
    metrics_ = GLYPHMETRICS{};
    got = ops.getGlyphOutlineFn(dc, code, format, &metrics_, 0, nullptr, &kIdentity);
    if (got == GDI_ERROR) return false;
    try {
      if (raw_.size() < got + kRawSlack) raw_.resize(got + kRawSlack);
    } catch (const std::bad_alloc&) {
      return false;
    }
    std::fill(raw_.begin(), raw_.begin() + static_cast<std::ptrdiff_t>(dirty_), 0);
    dirty_ = got;
    // A zero size asks nothing more of the font: the glyph is empty.
    if (got != 0 && ops.getGlyphOutlineFn(dc, code, format, &metrics_, got, raw_.data(), &kIdentity) == GDI_ERROR)
      return false;
  }
  rawSize_ = static_cast<std::size_t>(got) + kRawSlack;

  converted_ = style_.mono || curve_;
  if (!converted_) return true;
  const std::uint32_t width = metrics_.gmBlackBoxX;
  const std::uint32_t pitch = GlyphRowPitch(width);
  const std::uint32_t sourcePitch = style_.mono ? MonoRowPitch(width) : pitch;
  const std::uint32_t rows =
      sourcePitch == 0
          ? 0
          : std::min<std::uint32_t>(metrics_.gmBlackBoxY, static_cast<std::uint32_t>(rawSize_ / sourcePitch));
  try {
    pixels_.assign(static_cast<std::size_t>(pitch) * rows, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::uint32_t y = 0; y < rows; ++y) {
    const unsigned char* source = raw_.data() + static_cast<std::size_t>(y) * sourcePitch;
    unsigned char* out = pixels_.data() + static_cast<std::size_t>(y) * pitch;
    for (std::uint32_t x = 0; x < width; ++x) {
      const unsigned level = style_.mono ? ((source[x / 8] >> (7 - x % 8)) & 1u) * 15u : source[x];
      out[x] = levels_[std::min(level, 16u)];
    }
  }
  return true;
}

std::optional<RenderedGlyph> GlyphRenderer::Render(std::uint16_t character) {
  if (fonts_.empty()) return std::nullopt;
  RenderedGlyph glyph;
  // With fallbacks, the face that has the glyph draws it; without, the face
  // draws whatever it has, and is asked afterwards whether that was a glyph.
  if (fonts_.size() > 1 && !HasGlyph(fonts_[0], character)) {
    glyph.missing = true;
    for (std::size_t i = 1; i < fonts_.size(); ++i) {
      if (fonts_[i].font && HasGlyph(fonts_[i], character)) {
        glyph.face = i;
        glyph.missing = false;
        break;
      }
    }
  }
  if (!Fetch(fonts_[glyph.face], character)) return std::nullopt;
  if (fonts_.size() == 1) glyph.missing = !HasGlyph(fonts_[0], character);
  const std::span<const unsigned char> bytes =
      converted_ ? std::span<const unsigned char>(pixels_) : std::span<const unsigned char>(raw_.data(), rawSize_);
  glyph.bitmap = GlyphBitmap{metrics_.gmBlackBoxX, metrics_.gmBlackBoxY, metrics_.gmptGlyphOrigin.x,
                             metrics_.gmptGlyphOrigin.y, bytes};
  return glyph;
}

}  // namespace qzf
