// Native stand-ins for the module and resource calls. Data blocks are linked
// into the executable (see cmake/EmbedBlocks.cmake) and found here by type
// "DATA" and integer identifier.
#pragma once

#include "platform/base/native_types.h"

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL resourceData);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
BOOL WINAPI FreeResource(HGLOBAL resourceData);
