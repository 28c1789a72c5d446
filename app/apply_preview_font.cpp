#include "app/apply_preview_font.h"

#include <initializer_list>

#include "resources/resource_ids.h"

namespace qzf {

void ApplyPreviewFont(HWND window, HFONT font) {
  for (const int id : {IDC_PREVIEW_LINE1, IDC_PREVIEW_LINE2, IDC_PREVIEW_LINE3}) {
    SendMessageW(GetDlgItem(window, id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

}  // namespace qzf
