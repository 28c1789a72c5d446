// A font face at the pixel size GDI gives a logical font's height, with the
// text metrics and glyph bitmaps GDI makes from it. This is the native GDI
// stand-ins' font; GDI's own rules are followed where they decide a pixel:
// the size from the cell or em height (the VDMX table, else the Windows
// ascent and descent), the metrics scaled and rounded as GDI rounds them,
// hinted outlines (for the grey formats without embedded bitmaps), the black
// box from the glyph's extents rounded outward and clipped to the font's
// ascent and descent, coverage v turned into a level as v * (levels) / 256
// rounded down, two-level bitmaps from FreeType's own monochrome rendering.
// A bold request of a face that is not bold gets its outlines thickened by
// an em/24 and a pixel more advance; an italic request of an upright face
// gets them slanted by a quarter of their height.
#pragma once

#include <memory>
#include <string>

#include "platform/base/gdi_types.h"
#include "platform/fontengine/freetype_handles.h"

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
  bool fakeBold() const { return fakeBold_; }
  bool fakeItalic() const { return fakeItalic_; }
  const TEXTMETRICA& textMetrics() const { return metrics_; }

  // The glyph of a UTF-16 character; 0 when the font has none.
  unsigned GlyphIndex(char32_t character) const;
  // The glyph GDI substitutes for a missing one.
  unsigned DefaultGlyph() const;

  // GetGlyphOutline for one glyph: format GGO_METRICS, GGO_BITMAP or a grey
  // bitmap format, optionally with GGO_UNHINTED, with the identity transform.
  DWORD GlyphOutline(unsigned glyph, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize, void* buffer);

 private:
  RealizedFont(FreeTypeLibrary library, FtFacePtr face, int ppem, const Request& request);
  void ComputeTextMetrics(const Request& request, int vdmxAscent, int vdmxDescent);
  // Loads the glyph into the face's slot, thickened when the bold is made up.
  bool LoadGlyph(unsigned glyph, FT_Int32 flags);
  // The advance GDI gives: twice the average width for glyphs of that
  // width in proportional faces (worked out once), a pixel more when bold is
  // made up.
  void PrepareAdvance();
  FT_Pos Advance(FT_Pos designAdvance) const;
  DWORD RenderMono(const FT_BBox& box, DWORD bufferSize, unsigned char* buffer);
  DWORD RenderGrey(const FT_BBox& box, int maxLevel, DWORD bufferSize, unsigned char* buffer);
  // Draws the outline in the slot, slanted when the italic is made up, with
  // the box's bottom left corner at the bitmap's origin.
  bool RasterizeOutline(const FT_BBox& box, FT_Bitmap& bitmap);

  FreeTypeLibrary library_;
  FtFacePtr face_;
  int ppem_;
  bool fakeBold_;
  bool fakeItalic_;
  TEXTMETRICA metrics_{};
  // The glyph now in the face's slot: a size query and the fetch that
  // follows it load (and thicken) the glyph once.
  unsigned loadedGlyph_ = 0;
  FT_Int32 loadedFlags_ = 0;
  bool loaded_ = false;
  FT_Glyph_Metrics loadedMetrics_{};
  FT_Long averageWidth_ = 0;  // pixels; 0: no OS/2 average, or fixed pitch
  FT_Long doubleAverageWidth_ = 0;
};

}  // namespace qzf
