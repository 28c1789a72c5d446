#include "cli/output_file.h"

#include "cli/cli_language.h"
#include "cli/library_path.h"
#include "cli/terminal.h"
#include "cli/write_failure.h"
#include "fileutil/atomic_file_write.h"
#include "platform/win32.h"

namespace qzf::cli {

int WriteOutputFile(const std::string& utf8Path, std::span<const unsigned char> bytes) {
  const auto path = LibraryPath(utf8Path, PathUse::kFileCalls, kTemporarySuffixLength);
  if (!path) return 1;
  const DWORD attributes = GetFileAttributesA(path->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Error(Text(MessageId::kIsDirectory, utf8Path));
  const AtomicWriteResult written = WriteBytesAtomically(*path, bytes);
  return written ? 0 : Error(DescribeWriteFailure(utf8Path, written));
}

int WriteOutputFile(const std::string& utf8Path, const std::string& text) {
  return WriteOutputFile(
      utf8Path, std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(text.data()), text.size()));
}

}  // namespace qzf::cli
