#include "app/main_dialog.h"

#include "app/apply_preview_font.h"
#include "app/choose_preview_font.h"
#include "app/gbk_wide.h"
#include "app/paint_background.h"
#include "app/picture_layout.h"
#include "app/save_font_command.h"
#include "app/window_texts.h"
#include "resources/resource_ids.h"

namespace qzf {

namespace {

constexpr COLORREF kPreviewTextColor = RGB(238, 222, 206);
constexpr int kPreviewLines[] = {IDC_PREVIEW_LINE1, IDC_PREVIEW_LINE2, IDC_PREVIEW_LINE3};

void InitialiseDialog(HWND window) {
  LayOutInPicture(window);
  SetWindowPos(window, HWND_TOP, 200, 10, 0, 0, SWP_NOSIZE);
  SetDlgItemTextW(window, IDC_PREVIEW_LINE1, GbkToWide(kPreviewLine1).c_str());
  SetDlgItemTextW(window, IDC_PREVIEW_LINE2, GbkToWide(kPreviewLine2).c_str());
  SetDlgItemTextW(window, IDC_PREVIEW_LINE3, GbkToWide(kPreviewLine3).c_str());
  HFONT font = CreateFontW(24, 0, 0, 0, 100, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, 0, GbkToWide(kStartupPreviewFace).c_str());
  ApplyPreviewFont(window, font);
  UpdateWindow(window);
}

// The preview lines draw straight onto the picture, in light beige.
INT_PTR ColourPreviewLine(HWND window, HDC dc, HWND control) {
  for (const int id : kPreviewLines) {
    if (control == GetDlgItem(window, id)) {
      SetTextColor(dc, kPreviewTextColor);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
  }
  return 0;
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseDialog(window);
      return TRUE;  // the focus goes to the first tab stop, "选择字体"
    case WM_PAINT:
      PaintBackground(window);
      return FALSE;
    case WM_ERASEBKGND:
      return TRUE;  // the picture covers the client area
    case WM_CTLCOLORSTATIC:
      return ColourPreviewLine(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:  // also the close box and Alt+F4
          PostQuitMessage(0);
          return TRUE;
        case IDC_CHOOSE_FONT:
          ChoosePreviewFont(window);
          return FALSE;
        case IDC_SAVE_FONT:
          SaveFontCommand();
          return FALSE;
      }
      return FALSE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return FALSE;
  }
  return FALSE;
}

}  // namespace qzf
