// A fresh, empty directory for one test, removed with everything in it when
// the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace qzf::test {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A file or directory inside, as the byte path the Win32 calls take: with
  // backslashes, also natively.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// Changes the current directory for the lifetime of the object.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& dir);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace qzf::test
