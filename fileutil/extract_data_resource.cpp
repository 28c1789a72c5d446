#include "fileutil/extract_data_resource.h"

#include "platform/win32.h"

namespace qzf {

std::int32_t ExtractDataResource(const char* resource, const char* path) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, resource, "DATA");
  if (found == nullptr) return 0;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = LockResource(loaded);
  const DWORD size = SizeofResource(module, found);

  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
  std::int32_t result = 0;
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    const BOOL ok = (bytes != nullptr || size == 0) && WriteFile(file, bytes, size, &written, nullptr);
    result = (ok && written == size) ? 1 : 0;
    CloseHandle(file);
    // Windows marks a replaced file with the attributes asked for, but Wine
    // keeps the old ones; say it once more so the copy is hidden on both.
    SetFileAttributesA(path, FILE_ATTRIBUTE_HIDDEN);
  }
  FreeResource(loaded);
  return result;
}

}  // namespace qzf
