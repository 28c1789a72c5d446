#include "app/app_state.h"

namespace qzf {

char ChosenFaceName[kFaceNameBytes] = {};
const char* PassFaceName = nullptr;
char DictionaryTextPath[MAX_PATH] = {};
std::int32_t PassSizeMode = 0;
std::int32_t PassFontHeight = 0;

#ifdef _WIN32
LOGFONTA ChosenLogFont = {};
COLORREF FontDialogColor = 0;
#endif

}  // namespace qzf
