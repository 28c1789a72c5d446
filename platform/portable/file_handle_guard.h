// Closes a file handle (as CreateFileA gives it: INVALID_HANDLE_VALUE when
// there is none) when the guard goes out of scope, on every path, through the
// close call the caller uses (tests put recorders there).
#pragma once

#include "platform/win32.h"

namespace qzf {

class FileHandleGuard {
 public:
  using CloseFn = BOOL(WINAPI*)(HANDLE);

  explicit FileHandleGuard(HANDLE handle, CloseFn close = &CloseHandle) : handle_(handle), close_(close) {}
  ~FileHandleGuard() {
    if (valid()) close_(handle_);
  }
  FileHandleGuard(const FileHandleGuard&) = delete;
  FileHandleGuard& operator=(const FileHandleGuard&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
  CloseFn close_;
};

}  // namespace qzf
