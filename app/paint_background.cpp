#include "app/paint_background.h"

#include "app/show_message_box.h"
#include "app/window_texts.h"
#include "resources/resource_ids.h"

namespace qzf {

void PaintBackground(HWND window) {
  PAINTSTRUCT paint = {};
  HDC target = BeginPaint(window, &paint);
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  HBITMAP picture = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_BACKGROUND));
  if (picture == nullptr) {
    EndPaint(window, &paint);
    // Hidden first, so the message box's own loop cannot paint it again.
    ShowWindow(window, SW_HIDE);
    ShowMessageBox(kPictureFailedText, kErrorCaption);
    ExitProcess(1);
  }
  BITMAP size = {};
  GetObjectW(picture, sizeof(size), &size);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(source, picture);
  BitBlt(target, 0, 0, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(picture);
  EndPaint(window, &paint);
}

}  // namespace qzf
