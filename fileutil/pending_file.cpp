#include "fileutil/pending_file.h"

#include "platform/win32.h"

namespace qzf {
namespace {

AtomicWriteResult Failed(AtomicWriteStatus status) { return {status, static_cast<std::uint32_t>(GetLastError())}; }

}  // namespace

PendingFile::PendingFile(std::string target)
    : target_(std::move(target)), temporary_(TemporaryPathBeside(target_, "part")) {}

AtomicWriteResult PendingFile::Open() { return Write({}); }

AtomicWriteResult PendingFile::Write(std::span<const unsigned char> bytes) {
  if (temporary_.path().empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return Failed(AtomicWriteStatus::kWriteFailed);
  }
  if (!WriteWholeFile(temporary_.c_str(), bytes)) return Failed(AtomicWriteStatus::kWriteFailed);
  return {};
}

AtomicWriteResult PendingFile::Commit() {
  if (!temporary_.ReplaceTarget(target_)) return Failed(AtomicWriteStatus::kCannotReplace);
  committed_ = true;
  return {};
}

}  // namespace qzf
