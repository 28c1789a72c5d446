// Draws the glyphs of one cell size in a face and its style: the font calls'
// bitmap of a GBK character, from the first of the face and its fallback
// faces that has the glyph, with the style's levels, ready to be packed into
// a cell. The rewrite pass, the style fitting and the previews all draw
// through it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fontpatch/glyph_packing.h"
#include "fontpatch/glyph_style.h"
#include "platform/portable/selected_font.h"

namespace qzf {

// A face, and the character set it is asked for under: GB2312_CHARSET takes
// the GBK codes as they are; under any other set a glyph is found by the
// character's Unicode value.
struct RenderFace {
  std::string name;  // GBK
  int charSet = GB2312_CHARSET;

  bool operator==(const RenderFace&) const = default;
};

struct RenderedGlyph {
  std::size_t face = 0;  // 0: the face; i > 0: fallback face i - 1
  bool missing = false;  // no face has the glyph: the face's missing-glyph box was drawn
  GlyphBitmap bitmap{};  // valid until the next Render
};

class GlyphRenderer {
 public:
  enum class Status { kOk, kFontCreationFailed, kMemoryDcFailed };

  // ops null: the platform's font calls.
  GlyphRenderer(const RenderFace& face, const GlyphSizeInfo& size, const GlyphStyle& style,
                const std::vector<RenderFace>& fallbackFaces = {}, const GlyphRenderOps* ops = nullptr);
  GlyphRenderer(const GlyphRenderer&) = delete;
  GlyphRenderer& operator=(const GlyphRenderer&) = delete;

  // Of the face; a fallback that cannot be created is left out.
  Status status() const { return status_; }
  bool exactFace() const;
  std::string faceUsed() const;  // GBK
  // Where glyphs go in their cells: the style's baseline, else the face's
  // ascent, and the style's shift.
  const CellPlacement& placement() const { return placement_; }
  const GlyphSizeInfo& size() const { return size_; }

  // The glyph of a GBK character (lead byte high); nullopt when a glyph query
  // failed, and then nothing may be drawn from it.
  std::optional<RenderedGlyph> Render(std::uint16_t character);

 private:
  struct Font {
    std::unique_ptr<SelectedFont> font;
    bool byUnicode = false;
  };
  // The glyph index under a set other than GB2312; 0xFFFF when it has none.
  WORD UnicodeGlyph(const Font& font, std::uint16_t character) const;
  bool HasGlyph(const Font& font, std::uint16_t character) const;
  bool Fetch(const Font& font, std::uint16_t character);

  GlyphSizeInfo size_;
  GlyphStyle style_;
  std::vector<Font> fonts_;  // the face, then its fallbacks; a fallback that cannot be had has no font
  Status status_ = Status::kOk;
  CellPlacement placement_{};
  std::array<std::uint8_t, 17> levels_{};
  bool curve_ = false;
  GLYPHMETRICS metrics_{};
  std::vector<unsigned char> raw_;     // as the font calls fill it; room for the largest glyph met
  std::size_t rawSize_ = 0;            // of it, the glyph's bytes and four zero bytes after them
  std::size_t dirty_ = 0;              // bytes the font calls may have written since it was cleared
  std::vector<unsigned char> pixels_;  // one byte per pixel, when the style converts
  bool converted_ = false;
};

}  // namespace qzf
