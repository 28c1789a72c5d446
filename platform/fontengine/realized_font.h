// A font face at the pixel size GDI gives a logical font's height, with the
// text metrics and grey glyph bitmaps GDI makes from it. This is the native
// GDI stand-ins' font; GDI's own rules are followed where they decide a
// pixel: the size from the cell height (the VDMX table, else the Windows
// ascent and descent), the metrics scaled and rounded as GDI rounds them,
// hinted outlines without embedded bitmaps, the black box from the glyph's
// extents rounded outward and clipped to the font's ascent and descent, and
// coverage v turned into a level as v * (levels) / 256 rounded down.
#pragma once

#include <memory>
#include <string>

#include "platform/fontengine/freetype_handles.h"
#include "platform/native/gdi_types.h"

namespace qzf {

class RealizedFont {
 public:
  struct Request {
    int height = 0;  // > 0: cell height; < 0: em height; 0: a default
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = DEFAULT_CHARSET;
  };

  // Null when the file cannot be read as a scalable font.
  static std::unique_ptr<RealizedFont> Open(const std::string& file, int faceIndex, const Request& request);

  RealizedFont(const RealizedFont&) = delete;
  RealizedFont& operator=(const RealizedFont&) = delete;
  ~RealizedFont();

  int ppem() const { return ppem_; }
  const TEXTMETRICA& textMetrics() const { return metrics_; }

  // The glyph of a UTF-16 character; 0 when the font has none.
  unsigned GlyphIndex(char32_t character) const;
  // The glyph GDI substitutes for a missing one.
  unsigned DefaultGlyph() const;

  // GetGlyphOutline for one glyph: format GGO_METRICS or a grey bitmap format,
  // optionally with GGO_UNHINTED, with the identity transform.
  DWORD GlyphOutline(unsigned glyph, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize, void* buffer);

 private:
  RealizedFont(FreeTypeLibrary library, FtFacePtr face, int ppem);
  void ComputeTextMetrics(const Request& request, int vdmxAscent, int vdmxDescent);
  bool LoadGlyph(unsigned glyph, FT_Int32 flags);

  FreeTypeLibrary library_;
  FtFacePtr face_;
  int ppem_;
  TEXTMETRICA metrics_{};
  // The glyph now in the face's slot: a size query and the fetch that
  // follows it load the glyph once.
  unsigned loadedGlyph_ = 0;
  FT_Int32 loadedFlags_ = 0;
  bool loaded_ = false;
};

}  // namespace qzf
