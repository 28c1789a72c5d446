#pragma once

#include "platform/win32.h"

namespace qzf {

// The dialog procedure of the main window (template 129).
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qzf
