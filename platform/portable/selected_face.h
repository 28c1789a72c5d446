// Whether the font in a device context is the face that was asked for, or a
// substitute GDI chose because no installed font has that name. The one
// answer every front end and the rewrite pass use.
#pragma once

#include <string>

#include "platform/portable/glyph_render_ops.h"
#include "platform/win32.h"

namespace qzf {

// The selected font's face name (GBK), as GetTextFaceA gives it: at most
// LF_FACESIZE - 1 bytes, as GDI keeps a face name. Empty when there is none.
std::string SelectedFaceName(const GlyphRenderOps& ops, HDC dc);

// requestedFace: the GBK face name given to CreateFontA. Compared with the
// selected font's face name ignoring case, over the bytes GDI keeps of the
// request (LF_FACESIZE - 1).
bool SelectedFaceMatches(const GlyphRenderOps& ops, HDC dc, const char* requestedFace);
// The same with the platform's calls.
bool SelectedFaceMatches(HDC dc, const char* requestedFace);

}  // namespace qzf
