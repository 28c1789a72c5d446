#pragma once

namespace qzf {

// The Save button: lays the embedded font file and dictionary next to the
// executable, runs the three rewrite passes and tells the user how it went.
void SaveFontCommand();

// How SaveFontCommand shows its boxes (GBK text and caption). ShowMessageBox
// unless a test puts a recorder in its place.
using MessageBoxFn = void (*)(const char* gbkText, const char* gbkCaption);
extern MessageBoxFn SaveFontMessageBox;

}  // namespace qzf
