#include "cli/write_failure.h"

#include "platform/win32.h"

namespace qzf::cli {
namespace {

std::string Reason(std::uint32_t error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ": the disk is full";
    case ERROR_ACCESS_DENIED:
      return ": permission denied";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ": its directory is not there";
    default:
      return "";
  }
}

}  // namespace

std::string DescribeWriteFailure(const std::string& path, const AtomicWriteResult& result) {
  switch (result.status) {
    case AtomicWriteStatus::kCannotCopy:
      return "cannot read " + path + " to add to it" + Reason(result.systemError) + "; it is as it was";
    case AtomicWriteStatus::kWriteFailed:
      return "cannot write " + path + Reason(result.systemError) + "; nothing was changed";
    case AtomicWriteStatus::kCannotReplace:
      return "cannot put the new " + path + " in place" + Reason(result.systemError) + "; nothing was changed";
    case AtomicWriteStatus::kOk:
      break;
  }
  return "";
}

}  // namespace qzf::cli
