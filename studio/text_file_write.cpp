#include "studio/text_file_write.h"

#include "fileutil/file_range.h"
#include "platform/win32.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qzf::studio {

bool WriteTextFileWhole(const std::string& path, const std::string& text) {
#ifdef _WIN32
  const auto pid = static_cast<unsigned long>(GetCurrentProcessId());
#else
  const auto pid = static_cast<unsigned long>(getpid());
#endif
  const std::string temporary = path + ".style-" + std::to_string(pid) + ".tmp";
  WriteFileRangeArgs write;
  write.path = temporary.c_str();
  write.data = text.data();
  write.size = static_cast<std::uint32_t>(text.size());
  write.creationDisposition = CREATE_ALWAYS;
  if (text.empty() || WriteFileRange(write) != text.size() ||
      !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace qzf::studio
