#include "fileutil/temporary_file.h"

#include "fileutil/interrupt_removal.h"
#include "platform/win32.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qzf {

std::uint32_t CurrentProcessId() {
#ifdef _WIN32
  return static_cast<std::uint32_t>(GetCurrentProcessId());
#else
  return static_cast<std::uint32_t>(getpid());
#endif
}

std::string TemporaryPathBeside(const std::string& target, const char* what) {
  return target + "." + what + "-" + std::to_string(CurrentProcessId()) + ".tmp";
}

TemporaryFile::TemporaryFile(std::string path) : path_(std::move(path)) {
  if (!path_.empty()) slot_ = RegisterForRemovalOnInterrupt(path_.c_str());
}

TemporaryFile::~TemporaryFile() {
  if (path_.empty()) return;
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path_.c_str());
  Release();
}

bool TemporaryFile::ReplaceTarget(const std::string& target, bool replaceExisting) {
  if (path_.empty()) return false;
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!MoveFileExA(path_.c_str(), target.c_str(), replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0)) return false;
  Release();
  return true;
}

void TemporaryFile::Release() {
  UnregisterForRemovalOnInterrupt(slot_);
  slot_ = -1;
  path_.clear();
}

}  // namespace qzf
