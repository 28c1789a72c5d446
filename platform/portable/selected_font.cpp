#include "platform/portable/selected_font.h"

#include "platform/portable/selected_face.h"

namespace qzf {

SelectedFont::SelectedFont(const char* faceName, const FontRequest& request, const GlyphRenderOps* ops)
    : ops_(ResolveGlyphRenderOps(ops)), requestedFace_(faceName ? faceName : "") {
  Create(request);
}

SelectedFont::SelectedFont(const GlyphRenderOps& ops, int height, DWORD quality, const char* faceName)
    : ops_(ResolveGlyphRenderOps(&ops)), requestedFace_(faceName ? faceName : "") {
  FontRequest request;
  request.height = height;
  request.quality = quality;
  Create(request);
}

void SelectedFont::Create(const FontRequest& request) {
  font_ = ops_.createFontFn(request.height, 0, 0, 0, request.weight, request.italic ? 1 : 0, 0, 0,
                            static_cast<DWORD>(request.charSet), OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                            request.quality, 0, requestedFace_.c_str());
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

std::string SelectedFont::FaceName() const { return dc_ ? SelectedFaceName(ops_, dc_) : std::string(); }

bool SelectedFont::FaceMatches() const { return dc_ && SelectedFaceMatches(ops_, dc_, requestedFace_.c_str()); }

}  // namespace qzf
