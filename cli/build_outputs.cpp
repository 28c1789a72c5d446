#include "cli/build_outputs.h"

#include "cli/cli_language.h"
#include "cli/library_path.h"
#include "cli/terminal.h"
#include "cli/write_failure.h"
#include "platform/win32.h"

namespace qzf::cli {
namespace {

bool IsDirectory(const std::string& systemPath) {
  const DWORD attributes = GetFileAttributesA(systemPath.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "A", "A and B", "A, B and C".
std::string Join(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += Text(i + 1 == names.size() ? MessageId::kListLastSeparator : MessageId::kListSeparator);
    text += names[i];
  }
  return text;
}

}  // namespace

int BuildOutputs::CheckFont(const std::string& utf8Path, const std::string& systemPath) {
  font_ = utf8Path;
  if (IsDirectory(systemPath)) return Error(Text(MessageId::kNothingChanged, Text(MessageId::kIsDirectory, utf8Path)));
  PendingFile probe(systemPath);
  if (const AtomicWriteResult opened = probe.Open(); !opened) return Error(DescribeWriteFailure(utf8Path, opened));
  return 0;
}

int BuildOutputs::Reserve(const std::string& utf8Path) {
  const auto path = LibraryPath(utf8Path, PathUse::kFileCalls, kTemporarySuffixLength);
  if (!path) return 1;
  if (IsDirectory(*path)) return Error(Text(MessageId::kNothingChanged, Text(MessageId::kIsDirectory, utf8Path)));
  auto file = std::make_unique<PendingFile>(*path);
  if (const AtomicWriteResult opened = file->Open(); !opened) return Error(DescribeWriteFailure(utf8Path, opened));
  outputs_.push_back({utf8Path, std::move(file)});
  return 0;
}

int BuildOutputs::Fill(const std::string& utf8Path, const std::string& content) {
  for (Output& output : outputs_) {
    if (output.shown != utf8Path) continue;
    const AtomicWriteResult written = output.file->Write(
        std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(content.data()), content.size()));
    return written ? 0 : Error(DescribeWriteFailure(utf8Path, written));
  }
  return Error(Text(MessageId::kNothingChanged, Text(MessageId::kNotMadeReady, utf8Path)));
}

int BuildOutputs::Commit(UncommittedFont& font) {
  if (!font.Commit()) {
    return Error(DescribeWriteFailure(
        font_, AtomicWriteResult{AtomicWriteStatus::kCannotReplace, static_cast<std::uint32_t>(GetLastError())}));
  }
  std::vector<std::string> written = {font_};
  for (std::size_t i = 0; i < outputs_.size(); ++i) {
    const AtomicWriteResult committed = outputs_[i].file->Commit();
    if (committed) {
      written.push_back(outputs_[i].shown);
      continue;
    }
    std::vector<std::string> untouched;
    for (std::size_t k = i; k < outputs_.size(); ++k) untouched.push_back(outputs_[k].shown);
    return Error(
        Text(MessageId::kPartlyCommitted, DescribeWriteProblem(outputs_[i].shown, committed),
             Text(written.size() > 1 ? MessageId::kManyWritten : MessageId::kOneWritten, Join(written)),
             Text(untouched.size() > 1 ? MessageId::kManyAsBefore : MessageId::kOneAsBefore, Join(untouched))));
  }
  return 0;
}

}  // namespace qzf::cli
