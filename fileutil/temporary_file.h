// Temporary files beside a target, named TARGET.WHAT-PID.tmp: on the target's
// file system, so that renaming one over the target is one atomic step, and
// carrying the process id, so that two processes writing one target never
// share one (and a later process can tell whose it was).
#pragma once

#include <cstdint>
#include <string>

namespace qzf {

std::uint32_t CurrentProcessId();

std::string TemporaryPathBeside(const std::string& target, const char* what);

// Owns a temporary file: removes it when it goes out of scope, unless it has
// taken its target's place. While owned, the file is registered for removal
// on an interrupt (interrupt_removal.h).
class TemporaryFile {
 public:
  // An empty path owns nothing.
  explicit TemporaryFile(std::string path);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const { return path_; }
  const char* c_str() const { return path_.c_str(); }

  // The one way a finished file becomes its target: its hidden mark goes and
  // it is renamed over the target in one step (replaceExisting false: only
  // when there is no target yet). True when it is in place, and no longer
  // owned; false leaves the target as it was, with GetLastError saying why.
  bool ReplaceTarget(const std::string& target, bool replaceExisting = true);

 private:
  void Release();

  std::string path_;
  int slot_ = -1;
};

}  // namespace qzf
