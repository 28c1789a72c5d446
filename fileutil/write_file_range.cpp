#include <cstring>

#include "fileutil/file_range.h"
#include "platform/portable/file_handle_guard.h"

namespace qzf {

std::uint32_t WriteFileRange(WriteFileRangeArgs args) {
  if (args.path == nullptr || args.data == nullptr) return kFileRangeFailed;
  try {
    if (!args.createFileFn) args.createFileFn = &CreateFileA;
    if (!args.writeFileFn) args.writeFileFn = &WriteFile;
    if (!args.setFileAttributesFn) args.setFileAttributesFn = &SetFileAttributesA;
    if (!args.setFilePointerFn) args.setFilePointerFn = &SetFilePointer;
    if (!args.closeHandleFn) args.closeHandleFn = &CloseHandle;

    // Fails harmlessly when the file does not exist yet.
    args.setFileAttributesFn(args.path, FILE_ATTRIBUTE_NORMAL);

    const FileHandleGuard guard(args.createFileFn(args.path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                                  args.creationDisposition, FILE_ATTRIBUTE_NORMAL, nullptr),
                                args.closeHandleFn);
    if (!guard.valid()) return kFileRangeFailed;
    const HANDLE file = guard.get();

    if (args.offset == kAppendOffset) {
      args.setFilePointerFn(file, 0, nullptr, FILE_END);
    } else {
      LONG offsetHigh = static_cast<LONG>(static_cast<std::uint32_t>(args.offset >> 32));
      args.setFilePointerFn(file, static_cast<LONG>(static_cast<std::uint32_t>(args.offset)), &offsetHigh, FILE_BEGIN);
    }

    const DWORD count = args.size != 0 ? static_cast<DWORD>(args.size)
                                       : static_cast<DWORD>(std::strlen(static_cast<const char*>(args.data)));
    DWORD written = 0;
    const BOOL ok = args.writeFileFn(file, args.data, count, &written, nullptr);
    // A write to a file that comes back short ran out of room; Wine reports
    // a full disk so, without an error of its own.
    if (ok && written < count) SetLastError(ERROR_DISK_FULL);
    return ok ? written : kFileRangeFailed;
  } catch (...) {
    return kFileRangeFailed;
  }
}

}  // namespace qzf
