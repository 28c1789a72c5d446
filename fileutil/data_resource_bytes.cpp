#include "fileutil/data_resource_bytes.h"

#include "platform/win32.h"

namespace qzf {

std::optional<std::span<const unsigned char>> DataResourceBytes(int id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "DATA");
  if (!found) return std::nullopt;
  // Resources of the running image stay mapped for its whole life.
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
  const DWORD size = SizeofResource(module, found);
  if (!bytes && size != 0) return std::nullopt;
  return std::span<const unsigned char>(bytes, size);
}

}  // namespace qzf
