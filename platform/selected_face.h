// Whether the font in a device context is the face that was asked for, or a
// substitute GDI chose because no installed font has that name.
#pragma once

#include "platform/win32.h"

namespace qzf {

// requestedFace: the GBK face name given to CreateFontA. Compared with the
// selected font's face name ignoring case, over the bytes GDI keeps of it.
bool SelectedFaceMatches(HDC dc, const char* requestedFace);

}  // namespace qzf
