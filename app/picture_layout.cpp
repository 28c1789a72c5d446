#include "app/picture_layout.h"

#include <memory>
#include <optional>
#include <type_traits>

#include "resources/resource_ids.h"

namespace qzf {

namespace {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

// Measured the way the window paints it, so the two always agree.
std::optional<SIZE> BackgroundPictureSize(HINSTANCE instance) {
  const BitmapHandle picture(LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_BACKGROUND)));
  BITMAP description = {};
  if (!picture || GetObjectW(picture.get(), sizeof(description), &description) == 0) return std::nullopt;
  return SIZE{description.bmWidth, description.bmHeight};
}

}  // namespace

RECT MapToPicture(const DialogUnitRect& rect, SIZE templateSize, SIZE pictureSize) {
  // Origin and size are rounded each on its own, as the dialog manager does.
  const int x = MulDiv(rect.x, pictureSize.cx, templateSize.cx);
  const int y = MulDiv(rect.y, pictureSize.cy, templateSize.cy);
  return RECT{x, y, x + MulDiv(rect.cx, pictureSize.cx, templateSize.cx),
              y + MulDiv(rect.cy, pictureSize.cy, templateSize.cy)};
}

void LayOutInPicture(HWND window) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  const auto layout = LoadDialogTemplateLayout(instance, IDD_MAIN_DIALOG);
  const auto picture = BackgroundPictureSize(instance);
  if (!layout || !picture) return;

  // The frame (caption and borders) keeps the size the system gives it.
  RECT frame;
  RECT client;
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left - client.right + picture->cx,
               frame.bottom - frame.top - client.bottom + picture->cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  const SIZE templateSize{layout->cx, layout->cy};
  for (const TemplateControl& control : layout->controls) {
    const RECT r = MapToPicture(control.rect, templateSize, *picture);
    MoveWindow(GetDlgItem(window, control.id), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
  }
}

}  // namespace qzf
