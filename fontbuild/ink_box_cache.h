// The ink boxes a fit or a centring measured, kept per face, characters and
// font (style and font height), so that a size measured once is not drawn
// again: by another cell size at the same em height, by a second fit, or by
// the centring of a redraw. The boxes do not depend on the cell size, only
// on the font the glyphs are drawn with and where the renderer places them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "fontpatch/glyph_renderer.h"
#include "fontpatch/glyph_style.h"
#include "fontpatch/punctuation_placement.h"
#include "platform/portable/glyph_render_ops.h"

namespace qzf {

// Glyphs' ink in cell coordinates.
struct InkBoxes {
  std::vector<InkBox> boxes;     // glyphs with ink, in the characters' order
  std::vector<InkBox> cjkBoxes;  // of those, the CJK ideographs
};

// Everything the boxes depend on.
struct InkBoxKey {
  RenderFace face;
  std::vector<RenderFace> fallbackFaces;
  std::vector<std::uint16_t> characters;
  const GlyphRenderOps* ops = nullptr;
  GlyphStyle style;             // as measured
  std::int32_t fontHeight = 0;  // style.FontHeight(size)
  bool operator==(const InkBoxKey&) const = default;
};

// Most recently used first; not for two threads at once (its owner's lock
// or a single build guards it).
class InkBoxCache {
 public:
  explicit InkBoxCache(std::size_t capacity) : capacity_(capacity) {}

  // The boxes kept for the key, or null.
  std::shared_ptr<const InkBoxes> Find(const InkBoxKey& key);
  void Keep(InkBoxKey key, std::shared_ptr<const InkBoxes> boxes);
  // After font files came or went: a face's name may mean other glyphs.
  void Clear() { entries_.clear(); }
  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    InkBoxKey key;
    std::shared_ptr<const InkBoxes> boxes;
  };
  std::size_t capacity_;
  std::list<Entry> entries_;
};

}  // namespace qzf
