#include "fileutil/file_range.h"
#include "platform/portable/file_handle_guard.h"

namespace qzf {

std::uint32_t ReadFileRange(ReadFileRangeArgs args) {
  if (args.path == nullptr) return kFileRangeFailed;
  try {
    if (!args.createFileFn) args.createFileFn = &CreateFileA;
    if (!args.readFileFn) args.readFileFn = &ReadFile;
    if (!args.getFileSizeFn) args.getFileSizeFn = &GetFileSize;
    if (!args.setFilePointerFn) args.setFilePointerFn = &SetFilePointer;
    if (!args.closeHandleFn) args.closeHandleFn = &CloseHandle;

    const FileHandleGuard guard(args.createFileFn(args.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr),
                                args.closeHandleFn);
    if (!guard.valid()) return kFileRangeFailed;
    const HANDLE file = guard.get();

    DWORD sizeHigh = 0;
    const DWORD fileSize = args.getFileSizeFn(file, &sizeHigh);

    LONG offsetHigh = static_cast<LONG>(static_cast<std::uint32_t>(args.offset >> 32));
    args.setFilePointerFn(file, static_cast<LONG>(static_cast<std::uint32_t>(args.offset)), &offsetHigh, FILE_BEGIN);

    if (args.buffer == nullptr) return fileSize;
    DWORD bytesRead = 0;
    const BOOL ok = args.readFileFn(file, args.buffer, static_cast<DWORD>(args.size), &bytesRead, nullptr);
    return ok ? bytesRead : kFileRangeFailed;
  } catch (...) {
    return kFileRangeFailed;
  }
}

}  // namespace qzf
