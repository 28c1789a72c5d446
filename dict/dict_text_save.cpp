// Saving in the dictionary text format: banner, one block per entry, trailer,
// each appended to the file.
#include <cstdio>
#include <new>
#include <string>
#include <string_view>

#include "dict/dict_markers.h"
#include "dict/qorv_string_dict.h"
#include "dict/save_banner.h"
#include "fileutil/file_range.h"

namespace qzf {

namespace {

void AppendText(std::string& out, const char* text, std::uint32_t length) {
  if (text != nullptr && length != 0) out.append(text, length);
}

std::uint32_t Append(const char* path, const void* data, std::uint64_t size) {
  WriteFileRangeArgs args;
  args.path = path;
  args.data = data;
  args.offset = kAppendOffset;
  args.size = size;
  args.creationDisposition = OPEN_ALWAYS;
  return WriteFileRange(args);
}

}  // namespace

std::uint32_t QorvStringDict::SaveToTXTFileA(const char* path) const {
  if (path == nullptr) return 0;
  // Sized from the entries themselves: texts of a binary image may share
  // bytes, so their lengths can add up to more than the text buffer.
  std::uint64_t bodySize = 0;
  for (std::uint32_t i = 0; i < count_; ++i) {
    const DictRecord& r = records_[i];
    bodySize += 161 + std::uint64_t{r.ENGLength} + r.CHILength + r.Remark00Length;
  }
  // One write moves at most 32 bits of length.
  if (bodySize > 0xFFFFFFFFu - 1024) throw std::bad_alloc();
  std::string body;
  body.reserve(bodySize + 64);
  for (std::uint32_t i = 0; i < count_; ++i) {
    const DictRecord& r = records_[i];
    char number[32];
    std::snprintf(number, sizeof(number), "%08u\r\n", i);
    body += kEntryMarker;
    body += number;
    body += kEngStartMarker;
    AppendText(body, r.ENG, r.ENGLength);
    body += "\r\n";
    body += kEngEndMarker;
    body += kChiStartMarker;
    AppendText(body, r.CHI, r.CHILength);
    body += "\r\n";
    body += kChiEndMarker;
    body += kRemarkStartMarker;
    AppendText(body, r.Remark00, r.Remark00Length);
    body += "\r\n";
    body += kRemarkEndMarker;
  }

  SYSTEMTIME now{};
  GetSystemTime(&now);
  const std::string banner = FormatSaveBanner(now);
  const std::string trailer(kAllEndTrailer);

  // A piece after a failed or short one would follow a gap: saving stops at
  // the first, and says so.
  const std::string_view pieces[] = {banner, body, trailer};
  std::uint32_t total = 0;
  for (const std::string_view piece : pieces) {
    if (piece.empty()) continue;  // the entries of an empty store
    if (Append(path, piece.data(), piece.size()) != piece.size()) return kDictSaveFailed;
    total += static_cast<std::uint32_t>(piece.size());
  }
  return total;
}

}  // namespace qzf
