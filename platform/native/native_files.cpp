#include "platform/native/native_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/native/native_path.h"
#include "platform/native/native_system.h"

// Sharing modes are not honoured: Linux has no mandatory sharing locks, so
// other openers are never refused.

namespace {

constexpr const char* kDosAttrib = "user.DOSATTRIB";
constexpr DWORD kStoredAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

HANDLE HandleFromFd(int fd) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd) + 1); }

int FdFromHandle(HANDLE h) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return -1;
  return static_cast<int>(reinterpret_cast<std::intptr_t>(h) - 1);
}

DWORD ErrorFromErrno(int e) {
  switch (e) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    default:
      return ERROR_INVALID_PARAMETER;
  }
}

BOOL Fail(int e) {
  SetLastError(ErrorFromErrno(e));
  return FALSE;
}

// A file replaced for writing (CREATE_ALWAYS, TRUNCATE_EXISTING) is written
// over in place and cut to what was written when its handle closes, instead
// of being cut to nothing when it opens: the end is the same file, but the
// kernel keeps its pages instead of freeing and refilling them, and ext4
// does not start writing the old contents out at the cut (a build rewrites
// its 20 MB file four times). Until the handle closes, the handle sees only
// what was written through it.
class Rewrites {
 public:
  void Start(int fd) {
    std::lock_guard lock(mutex_);
    ends_[fd] = 0;
  }
  // The end written so far, or -1 for a file opened otherwise.
  off_t End(int fd) {
    std::lock_guard lock(mutex_);
    const auto it = ends_.find(fd);
    return it == ends_.end() ? -1 : it->second;
  }
  void Wrote(int fd) {
    std::lock_guard lock(mutex_);
    const auto it = ends_.find(fd);
    if (it != ends_.end()) it->second = std::max(it->second, lseek(fd, 0, SEEK_CUR));
  }
  // Cuts the file to its end; false when the cut failed (errno set).
  bool Finish(int fd) {
    off_t end = -1;
    {
      std::lock_guard lock(mutex_);
      const auto it = ends_.find(fd);
      if (it == ends_.end()) return true;
      end = it->second;
      ends_.erase(it);
    }
    return ftruncate(fd, end) == 0;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<int, off_t> ends_;
};

Rewrites& Rewritten() {
  static Rewrites rewrites;
  return rewrites;
}

// The DOS attribute bits kept in the extended attribute, as Wine writes them
// ("0x2" for hidden). Zero when there is none or the file system has none.
DWORD ReadDosBits(const std::string& path) {
  char value[32] = {};
  const ssize_t n = getxattr(path.c_str(), kDosAttrib, value, sizeof(value) - 1);
  if (n <= 0) return 0;
  value[n] = '\0';
  return static_cast<DWORD>(std::strtoul(value, nullptr, 0)) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

// A file system without extended attributes cannot keep the hidden mark; the
// file then simply stays visible.
void WriteDosBits(const std::string& path, DWORD bits) {
  bits &= FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if (bits == 0) {
    removexattr(path.c_str(), kDosAttrib);
    return;
  }
  char value[32];
  std::snprintf(value, sizeof(value), "0x%x", static_cast<unsigned>(bits));
  setxattr(path.c_str(), kDosAttrib, value, std::strlen(value), 0);
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/, LPSECURITY_ATTRIBUTES /*security*/,
                          DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE /*templateFile*/) {
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = qzf::NativePathFromWin(fileName);
  int flags = O_CLOEXEC;
  const bool read = (desiredAccess & GENERIC_READ) != 0;
  const bool write = (desiredAccess & GENERIC_WRITE) != 0;
  flags |= (read && write) ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
  bool replaces = false;
  switch (creationDisposition) {
    case CREATE_NEW:
      flags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      flags |= O_CREAT | O_TRUNC;
      replaces = true;
      break;
    case OPEN_EXISTING:
      break;
    case OPEN_ALWAYS:
      flags |= O_CREAT;
      break;
    case TRUNCATE_EXISTING:
      flags |= O_TRUNC;
      replaces = true;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_HANDLE_VALUE;
  }
  struct stat st {};
  const bool existed = stat(path.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  // As on Windows, replacing a hidden or system file needs those attributes
  // asked for again; otherwise the call is refused.
  if (existed && replaces) {
    const DWORD bits = ReadDosBits(path);
    if ((bits & ~flagsAndAttributes) != 0) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
  }
  const bool inPlace = existed && replaces && S_ISREG(st.st_mode) && write && !read;
  if (inPlace) flags &= ~O_TRUNC;
  const int fd = open(path.c_str(), flags, 0666);
  if (fd < 0) {
    Fail(errno);
    return INVALID_HANDLE_VALUE;
  }
  if (inPlace) Rewritten().Start(fd);
  if (!existed || replaces) WriteDosBits(path, flagsAndAttributes);
  SetLastError(existed && (creationDisposition == OPEN_ALWAYS || creationDisposition == CREATE_ALWAYS)
                   ? ERROR_ALREADY_EXISTS
                   : ERROR_SUCCESS);
  return HandleFromFd(fd);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED) {
  const int fd = FdFromHandle(file);
  if (bytesRead) *bytesRead = 0;
  if (fd < 0) return Fail(EBADF);
  auto* out = static_cast<char*>(buffer);
  DWORD done = 0;
  while (done < bytesToRead) {
    const ssize_t n = read(fd, out + done, bytesToRead - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  if (bytesRead) *bytesRead = done;
  return TRUE;
}

// Zeros over [from, to) of a file being written over: what a file cut to
// nothing would read there.
bool ZeroRange(int fd, off_t from, off_t to) {
  static const char zeros[65536] = {};
  while (from < to) {
    const auto chunk = static_cast<size_t>(std::min<off_t>(to - from, sizeof(zeros)));
    const ssize_t n = pwrite(fd, zeros, chunk, from);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    from += n;
  }
  return true;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED) {
  const int fd = FdFromHandle(file);
  if (bytesWritten) *bytesWritten = 0;
  if (fd < 0) return Fail(EBADF);
  // A write past the end of a file being written over leaves zeros between.
  if (const off_t end = Rewritten().End(fd); end >= 0 && bytesToWrite > 0) {
    const off_t position = lseek(fd, 0, SEEK_CUR);
    if (position > end && !ZeroRange(fd, end, position)) return Fail(errno);
  }
  const auto* in = static_cast<const char*>(buffer);
  DWORD done = 0;
  while (done < bytesToWrite) {
    const ssize_t n = write(fd, in + done, bytesToWrite - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (bytesWritten) *bytesWritten = done;
      return Fail(errno);
    }
    done += static_cast<DWORD>(n);
    Rewritten().Wrote(fd);
  }
  if (bytesWritten) *bytesWritten = done;
  return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
  struct stat st {};
  if (fstat(FdFromHandle(file), &st) != 0) {
    Fail(errno);
    return INVALID_FILE_SIZE;
  }
  const off_t end = Rewritten().End(FdFromHandle(file));
  const auto size = static_cast<std::uint64_t>(end >= 0 ? end : st.st_size);
  if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
  std::int64_t move = distance;
  // With a high half the distance is one signed 64-bit value.
  if (distanceHigh)
    move = static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
                                     static_cast<std::uint32_t>(distance));
  int whence = moveMethod == FILE_BEGIN ? SEEK_SET : (moveMethod == FILE_CURRENT ? SEEK_CUR : SEEK_END);
  // A file being written over ends where its writes end.
  if (const off_t end = Rewritten().End(FdFromHandle(file)); whence == SEEK_END && end >= 0) {
    whence = SEEK_SET;
    move += end;
  }
  const off_t pos = lseek(FdFromHandle(file), static_cast<off_t>(move), whence);
  if (pos < 0) {
    Fail(errno == EINVAL ? EINVAL : errno);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(pos) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(pos);
}

BOOL WINAPI CloseHandle(HANDLE object) {
  const int fd = FdFromHandle(object);
  if (fd < 0) return Fail(EBADF);
  const bool cut = Rewritten().Finish(fd);
  const int error = errno;
  if (close(fd) != 0) return Fail(EBADF);
  return cut ? TRUE : Fail(error);
}

BOOL WINAPI SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
  if (!fileName) return Fail(EINVAL);
  const std::string path = qzf::NativePathFromWin(fileName);
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return Fail(errno);
  if (!S_ISDIR(st.st_mode)) {
    // Read-only is the owner's write permission, as Wine maps it.
    const mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (st.st_mode & ~mode_t{0222}) : (st.st_mode | S_IWUSR);
    if ((mode & 07777) != (st.st_mode & 07777)) chmod(path.c_str(), mode & 07777);
  }
  WriteDosBits(path, attributes & kStoredAttributes);
  return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR fileName) {
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  const std::string path = qzf::NativePathFromWin(fileName);
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    Fail(errno);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  attributes |= ReadDosBits(path);
  return attributes;
}

BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
  if (!pathName) return Fail(EINVAL);
  if (mkdir(qzf::NativePathFromWin(pathName).c_str(), 0777) != 0) {
    if (errno == EEXIST) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
    return Fail(errno == ENOENT ? ENOTDIR : errno);
  }
  return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR fileName) {
  if (!fileName) return Fail(EINVAL);
  const std::string path = qzf::NativePathFromWin(fileName);
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Fail(EACCES);
  if (unlink(path.c_str()) != 0) return Fail(errno);
  return TRUE;
}

BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags) {
  if (!existing || !replacement) return Fail(EINVAL);
  const std::string from = qzf::NativePathFromWin(existing);
  const std::string to = qzf::NativePathFromWin(replacement);
  if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
    struct stat st {};
    if (stat(to.c_str(), &st) == 0) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
  }
  if (rename(from.c_str(), to.c_str()) != 0) return Fail(errno);
  return TRUE;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof(cwd))) {
    Fail(errno);
    return 0;
  }
  const std::string win = qzf::WinPathFromNative(cwd);
  // As on Windows: too small a buffer gets nothing and the size it needs.
  if (!buffer || bufferLength <= win.size()) return static_cast<DWORD>(win.size() + 1);
  std::memcpy(buffer, win.c_str(), win.size() + 1);
  return static_cast<DWORD>(win.size());
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName) {
  if (!pathName) return Fail(EINVAL);
  if (chdir(qzf::NativePathFromWin(pathName).c_str()) != 0) return Fail(errno);
  return TRUE;
}
