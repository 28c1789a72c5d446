#include "fileutil/interrupt_removal.h"

#include <cstring>

#include "platform/win32.h"

#ifdef _WIN32
#include <string>
#else
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <string>

#include "platform/native/native_path.h"
#endif

namespace qzf {
namespace {

// A build holds two temporary files, a save one: a few slots are plenty.
constexpr int kSlots = 16;

#ifdef _WIN32
struct Slot {
  bool used = false;
  std::string path;
};
Slot slots[kSlots];
SRWLOCK lock = SRWLOCK_INIT;
HANDLE held[kSlots];
#else
// The handler reads a slot only while `used` is set, and a slot's path is
// written only while it is clear; the fences keep that order for a handler
// that interrupts this thread.
struct Slot {
  volatile std::sig_atomic_t used = 0;
  char path[4096] = {};
};
Slot slots[kSlots];
#endif

}  // namespace

#ifdef _WIN32

int RegisterForRemovalOnInterrupt(const char* path) {
  if (path == nullptr || path[0] == '\0') return -1;
  AcquireSRWLockExclusive(&lock);
  int found = -1;
  for (int i = 0; i < kSlots && found < 0; ++i) {
    if (!slots[i].used) {
      slots[i].path = path;
      slots[i].used = true;
      found = i;
    }
  }
  ReleaseSRWLockExclusive(&lock);
  return found;
}

void UnregisterForRemovalOnInterrupt(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  AcquireSRWLockExclusive(&lock);
  slots[slot].used = false;
  ReleaseSRWLockExclusive(&lock);
}

void RemoveFilesOnInterrupt() {
  // Never released: the program cannot register or drop a file from now on.
  AcquireSRWLockExclusive(&lock);
  for (int i = 0; i < kSlots; ++i) {
    if (!slots[i].used) continue;
    // Without FILE_SHARE_DELETE for others: while held, the file can be
    // neither opened for writing by the program, nor renamed over the output.
    // A file not there yet is created, so that it cannot appear later.
    for (int attempt = 0; attempt < 1000; ++attempt) {
      held[i] = CreateFileA(slots[i].path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      if (held[i] != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
      Sleep(5);  // the program has the file open for a moment
    }
  }
}

#else

int RegisterForRemovalOnInterrupt(const char* path) {
  if (path == nullptr || path[0] == '\0') return -1;
  const std::string native = NativePathFromWin(path);
  if (native.size() >= sizeof(Slot::path)) return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (slots[i].used) continue;
    std::memcpy(slots[i].path, native.c_str(), native.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    slots[i].used = 1;
    return i;
  }
  return -1;
}

void UnregisterForRemovalOnInterrupt(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  slots[slot].used = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

void RemoveFilesOnInterrupt() {
  for (Slot& slot : slots) {
    if (slot.used) unlink(slot.path);
  }
}

#endif

}  // namespace qzf
