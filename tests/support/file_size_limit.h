// A disk that fills up, for one test: natively, a limit on the size of the
// files this process writes (a write past it fails, as on a full disk). The
// Windows build has no such limit; its tests skip, and the command-line test
// fills a real (small) disk instead.
#pragma once

#include <cstdint>

namespace qzf::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  static bool Available();

 private:
  std::uint64_t previous_ = 0;
};

}  // namespace qzf::test
