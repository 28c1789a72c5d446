#include "tests/support/scratch_dir.h"

#include <atomic>
#include <chrono>
#include <system_error>

#include "platform/win32.h"

namespace qzf::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  static std::atomic<unsigned> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path base = fs::temp_directory_path();
  for (unsigned attempt = 0;; ++attempt) {
    fs::path candidate = base / ("qzf-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
    if (attempt > 100) throw fs::filesystem_error("cannot create a scratch directory", candidate, ec);
  }
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  // Hidden or read-only files would make removal fail on Windows.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    SetFileAttributesA(it->path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  fs::remove_all(path_, ec);
}

std::string ScratchDir::File(const std::string& name) const {
  std::string path = (path_ / name).string();
  // The tool's byte paths are Windows paths on every build.
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

CurrentDirectory::CurrentDirectory(const fs::path& dir) : previous_(fs::current_path()) { fs::current_path(dir); }

CurrentDirectory::~CurrentDirectory() {
  std::error_code ec;
  fs::current_path(previous_, ec);
}

}  // namespace qzf::test
