#include "cli/write_failure.h"

#include "cli/cli_language.h"
#include "platform/win32.h"

namespace qzf::cli {
namespace {

std::string Reason(std::uint32_t error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Text(MessageId::kReasonDiskFull);
    case ERROR_ACCESS_DENIED:
      return Text(MessageId::kReasonDenied);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return Text(MessageId::kReasonNoFolder);
    default:
      return "";
  }
}

}  // namespace

std::string DescribeWriteProblem(const std::string& path, const AtomicWriteResult& result) {
  const std::string reason = Reason(result.systemError);
  if (result.status == AtomicWriteStatus::kCannotReplace) return Text(MessageId::kCannotReplace, path, reason);
  if (result.status == AtomicWriteStatus::kCannotCopy) return Text(MessageId::kCannotCopy, path, reason);
  return Text(MessageId::kCannotWrite, path, reason);
}

std::string DescribeWriteFailure(const std::string& path, const AtomicWriteResult& result) {
  switch (result.status) {
    case AtomicWriteStatus::kCannotCopy:
      return Text(MessageId::kCannotCopy, path, Reason(result.systemError));
    case AtomicWriteStatus::kWriteFailed:
    case AtomicWriteStatus::kCannotReplace:
      return Text(MessageId::kNothingChanged, DescribeWriteProblem(path, result));
    case AtomicWriteStatus::kOk:
      break;
  }
  return "";
}

}  // namespace qzf::cli
