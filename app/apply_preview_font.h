#pragma once

#include "platform/win32.h"

namespace qzf {

// Gives the three preview lines of the main window `font`, redrawn at once.
// The font stays alive until the process ends.
void ApplyPreviewFont(HWND window, HFONT font);

}  // namespace qzf
