#include "platform/portable/wine_host.h"

#include "platform/win32.h"

namespace qzf {

bool RunsUnderWine() {
#ifdef _WIN32
  // Wine's ntdll has exports Windows' has not.
  static const bool wine = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
#else
  return false;
#endif
}

}  // namespace qzf
