#include "fileutil/extract_data_resource.h"

#include <algorithm>

#include "platform/win32.h"

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace qzf {
namespace {

// The block lies in the executable's mapped image; map it in one request
// instead of one page fault per page while the write copies it (a build's
// profile showed those faults at half the cost of laying the font file down).
void MapInAhead([[maybe_unused]] const void* bytes, [[maybe_unused]] DWORD size) {
#if defined(__linux__) && defined(MADV_POPULATE_READ)
  if (bytes == nullptr || size == 0) return;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(bytes) / page * page;
  const auto end = reinterpret_cast<std::uintptr_t>(bytes) + size;
  // Only a hint: an older kernel refuses it and the write faults as before.
  madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_READ);
#endif
}

// Once written out, the block's pages are let go again: they are the
// executable's own, read back from it if ever needed, and a build would
// otherwise carry its 20 MB in memory to the end, beside the image it works on.
void LetGo([[maybe_unused]] const void* bytes, [[maybe_unused]] DWORD size) {
#ifdef __linux__
  if (bytes == nullptr || size == 0) return;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  // Whole pages inside the block only: its neighbours keep theirs.
  const auto start = (reinterpret_cast<std::uintptr_t>(bytes) + page - 1) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(bytes) + size) / page * page;
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
#endif
}

}  // namespace

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
    // A piece at a time, each mapped in before and let go after its write:
    // the block never sits in memory whole.
    constexpr DWORD kPiece = DWORD{4} << 20;
    const auto* piece = static_cast<const unsigned char*>(bytes);
    DWORD written = 0;
    BOOL ok = bytes != nullptr || size == 0;
    do {
      const DWORD length = std::min(kPiece, size - written);
      MapInAhead(piece + written, length);
      DWORD done = 0;
      ok = ok && WriteFile(file, piece + written, length, &done, nullptr);
      LetGo(piece + written, length);
      written += done;
      if (done < length) break;
    } while (ok && written < size);
    result = (ok && written == size) ? 1 : 0;
    // A short write ran out of room (see WriteFileRange).
    if (ok && written < size) SetLastError(ERROR_DISK_FULL);
    CloseHandle(file);
    // Windows marks a replaced file with the attributes asked for, but Wine
    // keeps the old ones; say it once more so the copy is hidden on both.
    SetFileAttributesA(path, FILE_ATTRIBUTE_HIDDEN);
  }
  FreeResource(loaded);
  return result;
}

}  // namespace qzf
