// The process-wide variables through which the window, the Save command and
// the rewrite passes hand each other the user's font choice and the
// parameters of each pass. All are zero at start.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace qzf {

inline constexpr std::size_t kFaceNameBytes = 256;

extern char ChosenFaceName[kFaceNameBytes];  // GBK, empty until a font is chosen
extern const char* PassFaceName;             // points at ChosenFaceName once chosen
extern char DictionaryTextPath[MAX_PATH];    // the tool's directory + "DATA1"
extern std::int32_t PassSizeMode;            // 1, 2 or 3
extern std::int32_t PassFontHeight;          // 20, 24 or 64

#ifdef _WIN32
// Only the window uses these.
extern LOGFONTA ChosenLogFont;
extern COLORREF FontDialogColor;
#endif

}  // namespace qzf
