// Everything the studio draws with fonts, behind one lock (the font engine
// is not made for two threads at once): the cells a build would write for a
// face and style, drawn live for just the positions asked, the findings of
// a whole build without writing one, and the fit. The glyph renderers and
// the centring offsets are kept for the last styles used, so a change of
// one control draws only the characters shown; the offsets are kept per
// face, fallbacks, size, em height, weight, italic and mono, so gamma,
// shift and baseline never measure again; and the glyphs' ink boxes per font,
// so a second fit, or a fit through an em height already measured, draws
// them once.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fontbuild/style_fit.h"
#include "fontpatch/glyph_renderer.h"
#include "fontpatch/glyph_style.h"
#include "fontpatch/punctuation_placement.h"
#include "studio/font_lock.h"
#include "studio/studio_data.h"

namespace qzf::studio {

// A face (GBK) and the style it is drawn in.
struct FaceStyle {
  std::string face;
  BuildStyle style;
  bool operator==(const FaceStyle&) const = default;
};

// One cell of one size, as a build would write it.
struct CellPicture {
  std::vector<std::uint8_t> levels;  // S x S grey levels 0..15, rows top first
  bool redrawn = false;              // false: the build keeps the stock cell
  bool missing = false;              // no face has the glyph: the missing-glyph box
  std::size_t face = 0;              // 0: the face; i > 0: fallback i - 1
  std::uint32_t cutPixels = 0;       // ink pixels the cell edges dropped
};

// What a build of a face and style would find, per size.
struct SizeFindings {
  std::uint32_t redrawn = 0;
  std::vector<std::uint32_t> missing;                        // code-table positions
  std::vector<std::uint32_t> fromFallback;                   // positions drawn by a fallback face
  std::vector<std::size_t> fallbackOfPosition;               // parallel to fromFallback: 1-based fallback
  std::vector<std::pair<std::uint32_t, std::uint32_t>> cut;  // position, pixels dropped
};

class GlyphWorkshop {
 public:
  explicit GlyphWorkshop(const StudioData& data, const GlyphRenderOps* ops = nullptr);

  // Held by whoever else draws with fonts (a whole build).
  FontLock& fontLock() { return lock_; }
  // After font files came or went: faces are looked up afresh.
  void ForgetFaces();

  // The cells of the positions, at one size (index into SizeModeTable). A
  // face that cannot be created leaves `ok` false.
  std::vector<CellPicture> Cells(const FaceStyle& faceStyle, std::size_t sizeIndex,
                                 const std::vector<std::uint32_t>& positions, bool& ok);

  std::array<SizeFindings, SizeModeTable.size()> Findings(const FaceStyle& faceStyle, bool& ok);
  // What a fit chooses per size: the em heights, and the centring offsets
  // that go with them.
  std::array<SizeFit, SizeModeTable.size()> Fit(const FaceStyle& faceStyle);
  // The same fit made ahead of time, while nobody else draws: what it
  // measures is kept, so the fit asked for later draws nothing. It gives way
  // (false) as soon as anything else wants the fonts; what it measured whole
  // until then is kept too.
  bool FitAhead(const FaceStyle& faceStyle);

  // The style a pass draws a size in: the style's, moved by the centring
  // offset when the style centres (measured once per style and cached).
  GlyphStyle PassStyle(const FaceStyle& faceStyle, std::size_t sizeIndex);

 private:
  struct RendererEntry {
    std::string face;
    std::vector<std::string> fallbacks;
    std::size_t sizeIndex;
    GlyphStyle style;
    std::unique_ptr<GlyphRenderer> renderer;
  };
  struct CentringEntry {
    std::string face;
    std::vector<std::string> fallbacks;
    std::size_t sizeIndex;
    GlyphStyle style;
    SizeFit fit;
  };

  std::array<SizeFit, SizeModeTable.size()> FitLocked(const FaceStyle& faceStyle, std::function<bool()> stop);
  GlyphRenderer* RendererFor(const FaceStyle& faceStyle, std::size_t sizeIndex, const GlyphStyle& passStyle);
  // The face and its fallbacks as a build asks for them: each under a
  // character set it serves.
  StyleFitRequest FitRequest(const FaceStyle& faceStyle);
  RenderFace Resolve(const std::string& face);
  GlyphStyle PassStyleLocked(const FaceStyle& faceStyle, std::size_t sizeIndex);
  // The centring offset for a key style, measured once and kept.
  const SizeFit& CentringLocked(const FaceStyle& faceStyle, std::size_t sizeIndex, const GlyphStyle& key);
  // The single character's own table that draws a position's cell (a code's
  // before a character's, each in key order, as the pass picks); null: none.
  const GlyphOverride* OwnGlyphAt(const FaceStyle& faceStyle, std::uint32_t position) const;
  // A position's cell as its own table draws it: its picture, or its own
  // face and style placed as the build places it; false when its face
  // cannot be drawn.
  bool DrawOwn(const FaceStyle& faceStyle, const GlyphOverride& own, std::size_t sizeIndex, std::uint32_t position,
               CellPicture& cell);
  // Adds the findings of the cells single characters' own tables draw at a size.
  bool OwnFindings(const FaceStyle& faceStyle, std::size_t sizeIndex, SizeFindings& found);
  // Keeps a centring measured for a key style (CentringKey), most recent first.
  void Remember(const FaceStyle& faceStyle, std::size_t sizeIndex, const GlyphStyle& key, const SizeFit& fit);
  // One position's cell by a renderer, its full-width mark placed by `punctuation`.
  CellPicture Draw(GlyphRenderer& renderer, std::size_t sizeIndex, std::uint32_t position,
                   PunctuationPlacement punctuation);

  const StudioData& data_;
  const GlyphRenderOps* ops_;
  FontLock lock_;
  std::list<RendererEntry> renderers_;  // most recent first
  std::list<CentringEntry> centrings_;
  InkBoxCache inkBoxes_;  // what fits and centrings measured
  std::map<std::string, RenderFace> faces_;
};

}  // namespace qzf::studio
