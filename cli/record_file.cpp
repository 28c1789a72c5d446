#include "cli/record_file.h"

#include "cli/terminal.h"
#include "fileutil/file_range.h"

namespace qzf::cli {

int WriteRecordFile(const std::string& utf8Path, const std::string& record) {
  const auto path = ToSystemPath(utf8Path);
  if (!path) return Error("the path " + utf8Path + " holds characters this system cannot use in file names");
  WriteFileRangeArgs write;
  write.path = path->c_str();
  write.data = record.data();
  write.size = record.size();
  write.creationDisposition = CREATE_ALWAYS;
  if (WriteFileRange(write) != record.size()) return Error("cannot write the report " + utf8Path);
  return 0;
}

}  // namespace qzf::cli
