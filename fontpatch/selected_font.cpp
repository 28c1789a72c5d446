#include "fontpatch/selected_font.h"

namespace qzf {

SelectedFont::SelectedFont(const GlyphRenderOps& ops, int height, DWORD quality, const char* faceName) : ops_(ops) {
  font_ = ops_.createFontFn(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, OUT_CHARACTER_PRECIS,
                            CLIP_CHARACTER_PRECIS, quality, 0, faceName);
  if (!font_) return;
  dc_ = ops_.createCompatibleDcFn(nullptr);
  if (dc_) previous_ = ops_.selectObjectFn(dc_, font_);
}

SelectedFont::~SelectedFont() {
  if (dc_) {
    if (previous_) ops_.selectObjectFn(dc_, previous_);
    ops_.deleteDcFn(dc_);
  }
  if (font_) ops_.deleteObjectFn(font_);
}

}  // namespace qzf
