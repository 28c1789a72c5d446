// A file written beside its target now and put in its place later: several
// outputs can be had ready before work starts and put in place together at
// its end, so that a failure on the way leaves every target as it was.
#pragma once

#include <span>
#include <string>

#include "fileutil/atomic_file_write.h"
#include "fileutil/temporary_file.h"

namespace qzf {

class PendingFile {
 public:
  // `target`: a byte path in the system code page.
  explicit PendingFile(std::string target);

  // Lays an empty temporary file down beside the target: the folder is there
  // and takes files. kWriteFailed, with the system's error, when not.
  AtomicWriteResult Open();
  // The whole content, into the temporary file (Open first).
  AtomicWriteResult Write(std::span<const unsigned char> bytes);
  // The temporary file takes the target's place in one rename; after a
  // failure the target is as it was.
  AtomicWriteResult Commit();

  const std::string& target() const { return target_; }
  bool committed() const { return committed_; }

 private:
  std::string target_;
  TemporaryFile temporary_;
  bool committed_ = false;
};

}  // namespace qzf
