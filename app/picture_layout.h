#pragma once

#include "app/dialog_template_layout.h"
#include "platform/win32.h"

namespace qzf {

// The template's dialog units in pixels of the background picture: the
// template's area spans the whole picture, so a control lands on the same
// part of the picture whatever the dialog font or the display scale.
RECT MapToPicture(const DialogUnitRect& rect, SIZE templateSize, SIZE pictureSize);

// Makes the main window's client area exactly the background picture and
// puts each control of the template where the picture expects it. Leaves
// the window as the dialog manager made it when the template or the picture
// cannot be read.
void LayOutInPicture(HWND window);

}  // namespace qzf
