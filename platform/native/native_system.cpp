#include "platform/native/native_system.h"

#include <ctime>

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError() { return lastError; }

void WINAPI SetLastError(DWORD errorCode) { lastError = errorCode; }

void WINAPI GetSystemTime(LPSYSTEMTIME systemTime) {
  if (!systemTime) return;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm utc{};
  gmtime_r(&now.tv_sec, &utc);
  systemTime->wYear = static_cast<WORD>(utc.tm_year + 1900);
  systemTime->wMonth = static_cast<WORD>(utc.tm_mon + 1);
  systemTime->wDayOfWeek = static_cast<WORD>(utc.tm_wday);
  systemTime->wDay = static_cast<WORD>(utc.tm_mday);
  systemTime->wHour = static_cast<WORD>(utc.tm_hour);
  systemTime->wMinute = static_cast<WORD>(utc.tm_min);
  systemTime->wSecond = static_cast<WORD>(utc.tm_sec);
  systemTime->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

// Case is folded for ASCII letters only, and never for the trail byte of a
// double-byte character: two different characters must not compare equal.
int WINAPI lstrcmpiA(LPCSTR string1, LPCSTR string2) {
  const auto* a = reinterpret_cast<const unsigned char*>(string1 ? string1 : "");
  const auto* b = reinterpret_cast<const unsigned char*>(string2 ? string2 : "");
  bool trail = false;
  for (;; ++a, ++b) {
    unsigned x = *a;
    unsigned y = *b;
    if (!trail) {
      if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
      if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    }
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
    trail = !trail && x >= 0x81 && x <= 0xFE;
  }
}
