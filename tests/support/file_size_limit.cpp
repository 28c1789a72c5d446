#include "tests/support/file_size_limit.h"

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace qzf::test {

#ifdef _WIN32
bool FileSizeLimit::Available() { return false; }
FileSizeLimit::FileSizeLimit(std::uint64_t) {}
FileSizeLimit::~FileSizeLimit() {}
#else
bool FileSizeLimit::Available() { return true; }

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
  // A write past the limit fails with EFBIG instead of ending the process.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  previous_ = limit.rlim_cur;
  limit.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = previous_;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, SIG_DFL);
}
#endif

}  // namespace qzf::test
