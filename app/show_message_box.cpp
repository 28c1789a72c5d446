#include "app/show_message_box.h"

#ifdef _WIN32
#include "app/gbk_wide.h"
#include "platform/win32.h"
#else
#include <cstdio>
#include <string>

#include "platform/base/codepage.h"
#endif

namespace qzf {

#ifdef _WIN32
void ShowMessageBox(const char* gbkText, const char* gbkCaption) {
  const std::wstring text = GbkToWide(gbkText);
  const std::wstring caption = GbkToWide(gbkCaption);
  MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
}
#else
void ShowMessageBox(const char* gbkText, const char* gbkCaption) {
  const std::string text = GbkToUtf8Lossy(gbkText);
  const std::string caption = GbkToUtf8Lossy(gbkCaption);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
}
#endif

}  // namespace qzf
