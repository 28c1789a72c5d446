// The GUI program's entry point: the main window and the thread's message loop.
#include "app/main_dialog.h"
#include "app/show_message_box.h"
#include "app/window_texts.h"
#include "platform/win32.h"
#include "resources/resource_ids.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  HWND window = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, qzf::MainDialogProc, 0);
  if (window == nullptr) {
    qzf::ShowMessageBox(qzf::kDialogFailedText, qzf::kErrorCaption);
    return 1;
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  // No IsDialogMessage: Tab, Enter and Esc are not dialog keys here.
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
