// The tool's message boxes: no owner window, one OK button. The texts are GBK
// and read correctly whatever the system's code page.
#pragma once

namespace qzf {

// On Windows a wide message box, converted from code page 936; natively the
// caption and text go to standard error in UTF-8.
void ShowMessageBox(const char* gbkText, const char* gbkCaption);

}  // namespace qzf
