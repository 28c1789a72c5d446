#include "app/choose_preview_font.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <string>

#include "app/app_state.h"
#include "app/apply_preview_font.h"
#include "app/gbk_wide.h"

// The lean Windows headers leave out the common dialogs.
#include <commdlg.h>

namespace qzf {

namespace {

// The fields before the face name are the same in both forms.
static_assert(offsetof(LOGFONTA, lfFaceName) == offsetof(LOGFONTW, lfFaceName));

constexpr LONG kPreviewHeight = 24;
constexpr LONG kPreviewWeight = 100;

}  // namespace

LOGFONTA LogFontToGbk(const LOGFONTW& wide) {
  LOGFONTA gbk = {};
  std::memcpy(&gbk, &wide, offsetof(LOGFONTA, lfFaceName));
  const std::string face = WideToGbk(wide.lfFaceName);
  // Cut at a character boundary so the name stays valid GBK.
  std::size_t length = 0;
  while (length < face.size()) {
    const std::size_t step = (static_cast<unsigned char>(face[length]) >= 0x81) ? 2 : 1;
    if (length + step > LF_FACESIZE - 1) break;
    length += step;
  }
  std::memcpy(gbk.lfFaceName, face.data(), std::min(length, face.size()));
  return gbk;
}

LOGFONTW LogFontToWide(const LOGFONTA& gbk) {
  LOGFONTW wide = {};
  std::memcpy(&wide, &gbk, offsetof(LOGFONTW, lfFaceName));
  const std::wstring face = GbkToWide(std::string_view(gbk.lfFaceName, strnlen(gbk.lfFaceName, LF_FACESIZE)));
  std::wmemcpy(wide.lfFaceName, face.data(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  return wide;
}

void ChoosePreviewFont(HWND window) {
  LOGFONTW chosen = {};
  CHOOSEFONTW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = window;
  dialog.lpLogFont = &chosen;
  dialog.Flags = CF_SCREENFONTS | CF_EFFECTS;
  dialog.rgbColors = FontDialogColor;
  if (ChooseFontW(&dialog) != TRUE) return;

  ChosenLogFont = LogFontToGbk(chosen);
  std::memcpy(ChosenFaceName, ChosenLogFont.lfFaceName, sizeof(ChosenLogFont.lfFaceName));
  ChosenLogFont.lfHeight = kPreviewHeight;
  ChosenLogFont.lfWeight = kPreviewWeight;
  ChosenLogFont.lfQuality = ANTIALIASED_QUALITY;
  PassFaceName = ChosenFaceName;

  const LOGFONTW preview = LogFontToWide(ChosenLogFont);
  ApplyPreviewFont(window, CreateFontIndirectW(&preview));
  // The transparent statics do not erase their old text: repaint everything,
  // picture first.
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
}

}  // namespace qzf
