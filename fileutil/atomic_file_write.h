// A file written whole or not at all. The content goes to a temporary file
// beside the target, which takes the target's place in one rename only when
// every byte reached it; after any failure the target is as it was and no
// temporary file is left.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace qzf {

enum class AtomicWriteMode {
  kNewFile,       // there must be no target when the file takes its place
  kReplace,       // an existing target is replaced
  kAppendToCopy,  // the content follows a copy of the existing target, if any
};

enum class AtomicWriteStatus {
  kOk,
  kCannotCopy,     // the existing target could not be read or copied
  kWriteFailed,    // the content did not reach the temporary file whole
  kCannotReplace,  // the finished file could not take the target's place
};

struct AtomicWriteResult {
  AtomicWriteStatus status = AtomicWriteStatus::kOk;
  std::uint32_t systemError = 0;  // GetLastError of the step that failed
  explicit operator bool() const { return status == AtomicWriteStatus::kOk; }
};

// `write` puts the content into the temporary file at the path it is given
// (fresh, or for kAppendToCopy holding the copy) and says whether all of it
// got there.
AtomicWriteResult WriteFileAtomically(const std::string& target, AtomicWriteMode mode,
                                      const std::function<bool(const char* temporaryPath)>& write);

// `bytes` as the whole content of `target` (empty: an empty file).
AtomicWriteResult WriteBytesAtomically(const std::string& target, std::span<const unsigned char> bytes,
                                       AtomicWriteMode mode = AtomicWriteMode::kReplace);
AtomicWriteResult WriteBytesAtomically(const std::string& target, std::string_view text,
                                       AtomicWriteMode mode = AtomicWriteMode::kReplace);

// The bytes written whole into a fresh file at `path` (no temporary, no
// rename): what the atomic write puts in its temporary file.
bool WriteWholeFile(const char* path, std::span<const unsigned char> bytes);

}  // namespace qzf
