#include "platform/native/native_module.h"

#include <strings.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/native/embedded_blocks.h"
#include "platform/native/native_path.h"
#include "platform/native/native_system.h"

namespace {
// Any non-null value does: there is one module, the executable itself.
HMODULE SelfModule() {
  static char self;
  return reinterpret_cast<HMODULE>(&self);
}
}  // namespace

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (module != nullptr && module != SelfModule()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
  if (n <= 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  exe[n] = '\0';
  const std::string win = qzf::WinPathFromNative(exe);
  if (!fileName || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  // As on Windows: a path that does not fit is cut, terminated, and the
  // result is the buffer size.
  if (win.size() >= size) {
    std::memcpy(fileName, win.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(fileName, win.c_str(), win.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(win.size());
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName != nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return SelfModule();
}

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (module != nullptr && module != SelfModule()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  // Only data blocks of type "DATA" with an integer identifier are carried.
  if (!type || IS_INTRESOURCE(type) || strcasecmp(type, "DATA") != 0) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  if (!IS_INTRESOURCE(name) || qzf_embedded_blocks == nullptr) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const auto id = static_cast<std::uint64_t>(reinterpret_cast<ULONG_PTR>(name));
  for (const EmbeddedBlock* block = qzf_embedded_blocks; block->id != 0; ++block) {
    if (block->id == id) return reinterpret_cast<HRSRC>(const_cast<EmbeddedBlock*>(block));
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) {
  if (!resource) return nullptr;
  return const_cast<unsigned char*>(reinterpret_cast<const EmbeddedBlock*>(resource)->data);
}

LPVOID WINAPI LockResource(HGLOBAL resourceData) { return resourceData; }

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
  if (!resource) return 0;
  return static_cast<DWORD>(reinterpret_cast<const EmbeddedBlock*>(resource)->size);
}

// Linked data needs no release; Windows gives FALSE here too.
BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }
