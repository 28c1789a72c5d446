// A font created through the font calls and selected into a memory device
// context of its own, both released when the object goes.
#pragma once

#include "fontpatch/glyph_render_ops.h"

namespace qzf {

class SelectedFont {
 public:
  // Asks for a GB2312_CHARSET font of `height` (the cell height), weight 400,
  // the given quality; then a context compatible with the screen.
  SelectedFont(const GlyphRenderOps& ops, int height, DWORD quality, const char* faceName);
  ~SelectedFont();
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

  bool fontCreated() const { return font_ != nullptr; }
  // Null when the font or the context could not be created.
  HDC dc() const { return dc_; }

 private:
  const GlyphRenderOps& ops_;
  HFONT font_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace qzf
