#include "fileutil/stale_temporary_files.h"

#include <memory>
#include <optional>
#include <string_view>

#include "fileutil/path_separators.h"
#include "fileutil/temporary_file.h"
#include "platform/win32.h"

#ifndef _WIN32
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/native/native_path.h"
#endif

namespace qzf {
namespace {

// The process id of a name PREFIX + digits + ".tmp", or nullopt.
std::optional<std::uint32_t> ProcessIdOf(std::string_view name, std::string_view prefix) {
  constexpr std::string_view kSuffix = ".tmp";
  if (name.size() <= prefix.size() + kSuffix.size() || name.substr(0, prefix.size()) != prefix ||
      name.substr(name.size() - kSuffix.size()) != kSuffix)
    return std::nullopt;
  const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
  if (digits.size() > 10) return std::nullopt;
  std::uint64_t id = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    id = id * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (id == 0 || id > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(id);
}

// When in doubt, running: only a file surely left behind is removed.
bool ProcessRuns(std::uint32_t id) {
#ifdef _WIN32
  const std::unique_ptr<void, decltype(&CloseHandle)> process(OpenProcess(SYNCHRONIZE, FALSE, id), &CloseHandle);
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
  return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
#else
  if (id > static_cast<std::uint32_t>(INT_MAX)) return true;
  return kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
#endif
}

bool IsStale(std::string_view name, std::string_view prefix) {
  const auto id = ProcessIdOf(name, prefix);
  return id && *id != CurrentProcessId() && !ProcessRuns(*id);
}

}  // namespace

std::uint32_t RemoveStaleTemporaryFiles(const std::string& target, const char* what) {
  const std::string directory = DirectoryPart(target);
  const std::string prefix = NamePart(target) + "." + what + "-";
  std::uint32_t removed = 0;
#ifdef _WIN32
  WIN32_FIND_DATAA found{};
  const std::string pattern = directory + prefix + "*.tmp";
  HANDLE first = FindFirstFileA(pattern.c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return 0;
  const std::unique_ptr<void, decltype(&FindClose)> search(first, &FindClose);
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsStale(found.cFileName, prefix)) continue;
    const std::string path = directory + found.cFileName;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str())) ++removed;
  } while (FindNextFileA(search.get(), &found));
#else
  // Names on disk are the UTF-8 form of the byte path.
  const std::string nativeDirectory = directory.empty() ? std::string("./") : NativePathFromWin(directory.c_str());
  const std::string nativePrefix = NativePathFromWin(prefix.c_str());
  struct CloseDirectory {
    void operator()(DIR* d) const { closedir(d); }
  };
  const std::unique_ptr<DIR, CloseDirectory> listing(opendir(nativeDirectory.c_str()));
  if (!listing) return 0;
  while (const dirent* entry = readdir(listing.get())) {
    if (!IsStale(entry->d_name, nativePrefix)) continue;
    if (unlink((nativeDirectory + entry->d_name).c_str()) == 0) ++removed;
  }
#endif
  return removed;
}

}  // namespace qzf
