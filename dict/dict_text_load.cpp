// Loading the dictionary text format: one buffer, parsed in place.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include "dict/dict_diagnostics.h"
#include "dict/dict_markers.h"
#include "dict/dict_path.h"
#include "dict/qorv_string_dict.h"
#include "fileutil/file_range.h"

namespace qzf {

namespace {

struct Section {
  std::string_view start;
  std::string_view end;
  char* DictRecord::*text;
  std::uint32_t DictRecord::*length;
  const char* startMissing;  // GBK diagnostics, formatted with the entry index
  const char* endMissing;
};

const Section kSections[] = {
    {kEngStartMarker, kEngEndMarker, &DictRecord::ENG, &DictRecord::ENGLength,
     "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD ENG \xB6\xCE\xC6\xF0\xCA\xBC\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA%d\xB8\xF6"
     "\xD7\xCA\xD4\xB4",
     "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD ENG \xB6\xCE\xBD\xE1\xCA\xF8\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA%d\xB8\xF6"
     "\xD7\xCA\xD4\xB4"},
    {kChiStartMarker, kChiEndMarker, &DictRecord::CHI, &DictRecord::CHILength,
     "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD CHI \xB6\xCE\xC6\xF0\xCA\xBC\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA%d\xB8\xF6"
     "\xD7\xCA\xD4\xB4",
     "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD CHI \xB6\xCE\xBD\xE1\xCA\xF8\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA%d\xB8\xF6"
     "\xD7\xCA\xD4\xB4"},
    {kRemarkStartMarker, kRemarkEndMarker, &DictRecord::Remark00, &DictRecord::Remark00Length,
     "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD Remark00 \xB6\xCE\xC6\xF0\xCA\xBC\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA%d"
     "\xB8\xF6\xD7\xCA\xD4\xB4",
     "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD Remark00 \xB6\xCE\xBD\xE1\xCA\xF8\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA%d"
     "\xB8\xF6\xD7\xCA\xD4\xB4"},
};

void Report(const char* format, std::uint32_t index) {
  char line[128];
  const int length = std::snprintf(line, sizeof(line), format, static_cast<int>(index));
  if (length > 0) ReportDictDiagnostic(std::string_view(line, std::min<std::size_t>(length, sizeof(line) - 1)));
}

std::size_t CountEntries(std::string_view all) {
  std::size_t n = 0;
  for (std::size_t at = all.find(kEntryMarker); at != std::string_view::npos;
       at = all.find(kEntryMarker, at + kEntryMarker.size())) {
    ++n;
  }
  return n;
}

// Fills records from the text seen up to its first NUL; the number of entries
// walked, or -1 when a marker is missing. Each text is terminated in place;
// every write lies before the point the next search starts from, so the view
// of the original bytes stays valid.
std::int64_t WalkEntries(char* text, std::string_view all, DictRecord* records, std::size_t capacity) {
  std::uint32_t i = 0;
  for (std::size_t at = all.find(kEntryMarker); at != std::string_view::npos && i < capacity; ++i) {
    DictRecord& record = records[i];
    std::size_t from = at;
    for (const Section& section : kSections) {
      const std::size_t start = all.find(section.start, from);
      if (start == std::string_view::npos) {
        Report(section.startMissing, i);
        return -1;
      }
      const std::size_t begin = start + section.start.size();
      const std::size_t end = all.find(section.end, start);
      if (end == std::string_view::npos) {
        Report(section.endMissing, i);
        return -1;
      }
      // The CR LF before the end marker is not part of the text. A region too
      // short to hold it (malformed) gives the empty text.
      const std::size_t length = end >= begin + 2 ? end - begin - 2 : 0;
      record.*section.text = text + begin;
      record.*section.length = static_cast<std::uint32_t>(length);
      text[begin + length] = '\0';
      from = end + 1;
    }
    at = all.find(kEntryMarker, from);
  }
  return i;
}

}  // namespace

std::uint32_t QorvStringDict::LoadText(std::unique_ptr<char[]> buffer, std::uint32_t size) {
  MakeEmpty();
  // A last marker line without its line break reads as if it had one.
  buffer[size] = '\r';
  buffer[size + 1] = '\n';
  buffer[size + 2] = '\0';
  text_ = std::move(buffer);
  textCapacity_ = textUsed_ = textSize_ = size;

  char* text = text_.get();
  const std::string_view all(text, std::strlen(text));
  const std::size_t markers = CountEntries(all);
  if (markers == 0 || markers * sizeof(DictRecord) > 0xFFFFFFFFu) {
    MakeEmpty();
    return 0;
  }
  auto records = std::make_unique<DictRecord[]>(markers);
  const std::int64_t walked = WalkEntries(text, all, records.get(), markers);
  if (walked <= 0) {
    MakeEmpty();
    return 0;
  }
  recordStorage_ = std::move(records);
  records_ = recordStorage_.get();
  recordCapacity_ = static_cast<std::uint32_t>(markers);
  count_ = static_cast<std::uint32_t>(walked);
  return count_;
}

std::uint32_t QorvStringDict::LoadFromTXTFileA(const char* name) {
  try {
    // The name may be path_ itself (a reload): it is resolved aside first.
    if (!ResolveDictPath(name, path_, kDictPathSize)) {
      path_[0] = '\0';
      return 0;
    }

    ReadFileRangeArgs query;
    query.path = path_;
    const std::uint32_t size = ReadFileRange(query);
    if (size == 0 || size == kFileRangeFailed || size > kMaxDictFileSize) return 0;

    MakeEmpty();
    auto buffer = std::make_unique<char[]>(size + 4);
    ReadFileRangeArgs read;
    read.path = path_;
    read.buffer = buffer.get();
    read.size = size;
    // A short read leaves zeros, which end the text where the read stopped.
    ReadFileRange(read);
    return LoadText(std::move(buffer), size);
  } catch (const std::bad_alloc&) {
    MakeEmpty();
    return 0;
  }
}

std::uint32_t QorvStringDict::LoadFromTXTStringA(const char* source) {
  if (source == nullptr) return 0;
  path_[0] = '\0';
  try {
    const std::size_t size = std::strlen(source);
    if (size == 0 || size > kMaxDictFileSize) return 0;
    // Copied before the old buffer goes: the source may lie inside it.
    auto buffer = std::make_unique<char[]>(size + 4);
    std::memcpy(buffer.get(), source, size);
    return LoadText(std::move(buffer), static_cast<std::uint32_t>(size));
  } catch (const std::bad_alloc&) {
    MakeEmpty();
    return 0;
  }
}

std::uint32_t QorvStringDict::ReloadTXTFileA() {
  MakeEmpty();
  char saved[kDictPathSize];
  std::memcpy(saved, path_, sizeof(saved));
  path_[0] = '\0';
  return LoadFromTXTFileA(saved);
}

}  // namespace qzf
