#include "fileutil/atomic_file_write.h"

#include <new>
#include <vector>

#include "fileutil/file_range.h"
#include "fileutil/temporary_file.h"
#include "platform/win32.h"

namespace qzf {
namespace {

// The target's bytes, whole, into a new file at `copy`; a missing target
// gives an empty file.
bool CopyTarget(const std::string& target, const char* copy) {
  std::vector<unsigned char> bytes;
  if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
    ReadFileRangeArgs size;
    size.path = target.c_str();
    const std::uint32_t length = ReadFileRange(size);
    if (length == kFileRangeFailed) return false;
    try {
      bytes.resize(length);
    } catch (const std::bad_alloc&) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return false;
    }
    ReadFileRangeArgs read = size;
    read.buffer = bytes.data();
    read.size = length;
    if (length != 0 && ReadFileRange(read) != length) return false;
  }
  return WriteWholeFile(copy, bytes);
}

AtomicWriteResult Failed(AtomicWriteStatus status) { return {status, static_cast<std::uint32_t>(GetLastError())}; }

}  // namespace

bool WriteWholeFile(const char* path, std::span<const unsigned char> bytes) {
  // The range calls move at most 4 GiB less one byte at a time.
  if (bytes.size() >= kFileRangeFailed) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  static const unsigned char kNothing = 0;
  WriteFileRangeArgs write;
  write.path = path;
  write.data = bytes.empty() ? &kNothing : bytes.data();
  write.size = bytes.size();
  write.creationDisposition = CREATE_ALWAYS;
  const std::uint32_t written = WriteFileRange(write);
  // A size of 0 means "the string's length": an empty file writes nothing.
  return written == bytes.size();
}

AtomicWriteResult WriteBytesAtomically(const std::string& target, std::span<const unsigned char> bytes,
                                       AtomicWriteMode mode) {
  return WriteFileAtomically(target, mode, [bytes](const char* temporary) { return WriteWholeFile(temporary, bytes); });
}

AtomicWriteResult WriteBytesAtomically(const std::string& target, std::string_view text, AtomicWriteMode mode) {
  return WriteBytesAtomically(
      target, std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(text.data()), text.size()), mode);
}

AtomicWriteResult WriteFileAtomically(const std::string& target, AtomicWriteMode mode,
                                      const std::function<bool(const char* temporaryPath)>& write) {
  TemporaryFile temporary(TemporaryPathBeside(target, "part"));
  // A file of that name could only be left by a dead process of the same id.
  SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(temporary.c_str());
  if (mode == AtomicWriteMode::kAppendToCopy && !CopyTarget(target, temporary.c_str()))
    return Failed(AtomicWriteStatus::kCannotCopy);
  if (!write(temporary.c_str())) return Failed(AtomicWriteStatus::kWriteFailed);
  if (!temporary.ReplaceTarget(target, mode != AtomicWriteMode::kNewFile))
    return Failed(AtomicWriteStatus::kCannotReplace);
  return {};
}

}  // namespace qzf
