#include "cli/library_path.h"

#include <vector>

#include "cli/cli_language.h"
#include "cli/terminal.h"
#include "fileutil/path_separators.h"
#include "platform/win32.h"

namespace qzf::cli {
namespace {

constexpr std::size_t kLimit = MAX_PATH;  // with the terminating zero

#ifdef _WIN32
constexpr bool kFileCallsTakeAnyLength = false;
#else
constexpr bool kFileCallsTakeAnyLength = true;
#endif

bool IsAbsolute(const std::string& path) {
  if (!path.empty() && IsPathSeparator(path[0])) return true;
  return path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2]);
}

// "." or ".." is the first part.
bool StartsFromHere(const std::string& path) {
  const std::size_t dots = path.find_first_not_of('.');
  return (dots == 1 || dots == 2) && IsPathSeparator(path[dots]);
}

// The parts between separators; empty parts and "." are dropped.
std::vector<std::string> Parts(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    const auto byte = i < path.size() ? static_cast<unsigned char>(path[i]) : 0;
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < path.size()) {
      part += path.substr(i, 2);  // a two-byte character: its second byte may be 0x5C
      ++i;
    } else if (i == path.size() || IsPathSeparator(path[i])) {
      if (!part.empty() && part != ".") parts.push_back(part);
      part.clear();
    } else {
      part += path[i];
    }
  }
  return parts;
}

bool SamePart(const std::string& a, const std::string& b) {
#ifdef _WIN32
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
#else
  return a == b;
#endif
}

// An absolute path relative to the current directory (which is absolute),
// or nullopt when they share no root.
std::optional<std::string> Relative(const std::string& path) {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::nullopt;
  std::string directory(needed, '\0');
  const DWORD length = GetCurrentDirectoryA(needed, directory.data());
  if (length == 0 || length >= needed) return std::nullopt;
  directory.resize(length);
  const bool driveLetters = path.size() > 1 && path[1] == ':';
  if (driveLetters != (directory.size() > 1 && directory[1] == ':')) return std::nullopt;
  const std::vector<std::string> from = Parts(directory);
  const std::vector<std::string> to = Parts(path);
  std::size_t common = 0;
  while (common < from.size() && common < to.size() && SamePart(from[common], to[common])) ++common;
  if (driveLetters && common == 0) return std::nullopt;  // another drive
  std::string relative;
  for (std::size_t i = common; i < from.size(); ++i) relative += "..\\";
  for (std::size_t i = common; i < to.size(); ++i) relative += to[i] + (i + 1 < to.size() ? "\\" : "");
  return relative;
}

}  // namespace

std::optional<std::string> LibraryPath(const std::string& utf8, PathUse use, std::size_t reserve) {
  const auto typed = ToSystemPath(utf8);
  if (!typed) {
    Error(Text(MessageId::kPathUnusable, utf8));
    return std::nullopt;
  }
  if (typed->empty()) return typed;
  std::vector<std::string> forms;
  if (IsAbsolute(*typed)) {
    forms.push_back(*typed);
    if (const auto relative = Relative(*typed)) forms.push_back(*relative);
  } else {
    forms.push_back(*typed);
  }
  for (std::string& form : forms) {
    if (!IsAbsolute(form) && !StartsFromHere(form)) form = ".\\" + form;
    if (form.size() + reserve < kLimit) return form;
  }
  if (use == PathUse::kFileCalls && kFileCallsTakeAnyLength) return forms.front();
  Error(Text(MessageId::kPathTooLong, utf8, std::to_string(typed->size()), std::to_string(kLimit - 1 - reserve)));
  return std::nullopt;
}

}  // namespace qzf::cli
