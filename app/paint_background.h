#pragma once

#include "platform/win32.h"

namespace qzf {

// Handles WM_PAINT of the main window: copies the whole background picture
// (bitmap 104, loaded afresh each time) to the client area. A picture that
// cannot be loaded is reported and ends the process with status 1.
void PaintBackground(HWND window);

}  // namespace qzf
