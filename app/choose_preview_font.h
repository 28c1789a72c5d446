#pragma once

#include "platform/win32.h"

namespace qzf {

// The "选择字体" button: asks for a font with the system font dialog and, when
// one is confirmed, remembers its face name for the build and shows the
// preview lines in it at height 24, weight 100, antialiased. A cancelled
// dialog changes nothing.
void ChoosePreviewFont(HWND window);

// The chosen font as a GBK description (the face name converted from UTF-16)
// and back, so the name reaches the font mapper whatever the code page.
LOGFONTA LogFontToGbk(const LOGFONTW& wide);
LOGFONTW LogFontToWide(const LOGFONTA& gbk);

}  // namespace qzf
