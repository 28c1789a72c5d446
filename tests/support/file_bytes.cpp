#include "tests/support/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/win32.h"
#ifndef _WIN32
#include "platform/native/native_path.h"
#endif

namespace qzf::test {
namespace {
// The helpers take the tool's byte paths; the C++ library wants the file
// system's own.
std::filesystem::path OsPath(const std::string& path) {
#ifdef _WIN32
  return std::filesystem::path(path);
#else
  return std::filesystem::path(NativePathFromWin(path.c_str()));
#endif
}
}  // namespace

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(OsPath(path), std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
  // In one read: the font files are 20 MB, and a character at a time is
  // slow, under valgrind very much so.
  std::ifstream in(OsPath(path), std::ios::binary | std::ios::ate);
  if (!in) throw std::runtime_error("cannot read " + path);
  const std::streamoff size = in.tellg();
  if (size < 0) throw std::runtime_error("cannot read " + path);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) throw std::runtime_error("cannot read " + path);
  return bytes;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(OsPath(path), ec);
}

bool IsHidden(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::set<std::string> NamesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

}  // namespace qzf::test
