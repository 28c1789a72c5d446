// Native stand-ins for the small system calls: errors, time, string compare.
#pragma once

#include "platform/base/native_types.h"

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD errorCode);
void WINAPI GetSystemTime(LPSYSTEMTIME systemTime);
int WINAPI lstrcmpiA(LPCSTR string1, LPCSTR string2);
