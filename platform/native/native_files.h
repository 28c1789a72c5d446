// Native stand-ins for the Win32 file calls. Paths are byte strings in the
// system code page (936, GBK); a backslash separates like a slash. The hidden
// and system attributes live in the user.DOSATTRIB extended attribute, where
// Wine keeps them, so both builds agree on a file's attributes.
#pragma once

#include "platform/base/native_types.h"

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                          DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped);
DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod);
BOOL WINAPI CloseHandle(HANDLE object);
BOOL WINAPI SetFileAttributesA(LPCSTR fileName, DWORD attributes);
DWORD WINAPI GetFileAttributesA(LPCSTR fileName);
BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security);
BOOL WINAPI DeleteFileA(LPCSTR fileName);
BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags);
DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName);

#define MOVEFILE_REPLACE_EXISTING 0x1u
