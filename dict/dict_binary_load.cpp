// Loading the binary image: the table and the blob are each read in one call
// straight into their final buffers, then offsets become pointers. Nothing in
// the file is trusted: every size, offset, length and terminator is checked.
#include <cstring>
#include <new>

#include "dict/dict_binary_image.h"
#include "dict/dict_path.h"
#include "dict/qorv_string_dict.h"
#include "fileutil/file_range.h"

namespace qzf {

namespace {

std::uint32_t ReadAt(const char* path, void* buffer, std::uint64_t offset, std::uint64_t size) {
  ReadFileRangeArgs args;
  args.path = path;
  args.buffer = buffer;
  args.offset = offset;
  args.size = size;
  return ReadFileRange(args);
}

// A text of the blob: its bytes up to offset + length hold no NUL, and the
// byte at offset + length, inside the blob, is its terminator.
bool ValidText(const char* blob, std::uint32_t blobSize, std::uint32_t offset, std::uint32_t length) {
  const std::uint64_t end = std::uint64_t{offset} + length;
  if (end >= blobSize || blob[end] != '\0') return false;
  return std::memchr(blob + offset, '\0', length) == nullptr;
}

}  // namespace

std::uint32_t QorvStringDict::LoadFromBINFileA(const char* name) {
  try {
    // The name may be path_ itself (a reload): it is resolved aside first.
    if (!ResolveDictPath(name, path_, kDictPathSize)) {
      path_[0] = '\0';
      return 0;
    }
    MakeEmpty();

    unsigned char word[4] = {};
    if (ReadAt(path_, word, 0, 4) != 4 || ReadImageWord(word) != kImageVersion) return 0;
    if (ReadAt(path_, word, 4, 4) != 4) return 0;
    const std::uint32_t count = ReadImageWord(word);

    ReadFileRangeArgs query;
    query.path = path_;
    const std::uint32_t size = ReadFileRange(query);
    if (size == 0 || size == kFileRangeFailed || size > kMaxDictFileSize) return 0;
    // A count the file cannot hold is refused before anything is allocated.
    const std::uint64_t tableBytes = std::uint64_t{kImageRecordSize} * count;
    if (kImageHeaderSize + tableBytes > size) return 0;
    const auto blobSize = static_cast<std::uint32_t>(size - kImageHeaderSize - tableBytes);

    // The in-memory record is at least as large as the file's, so the table is
    // read into the array and widened in place from the last record down.
    static_assert(sizeof(DictRecord) >= kImageRecordSize);
    auto records = std::make_unique<DictRecord[]>(count);
    if (ReadAt(path_, records.get(), kImageHeaderSize, tableBytes) != tableBytes) return 0;
    auto text = std::make_unique<char[]>(std::size_t{size} + 4);
    if (ReadAt(path_, text.get(), kImageHeaderSize + tableBytes, blobSize) != blobSize) return 0;

    auto* raw = reinterpret_cast<unsigned char*>(records.get());
    char* blob = text.get();
    for (std::uint32_t i = count; i-- > 0;) {
      std::uint32_t f[6];
      for (int k = 0; k < 6; ++k) f[k] = ReadImageWord(raw + std::size_t{i} * kImageRecordSize + 4 * k);
      for (int k = 0; k < 3; ++k) {
        if (!ValidText(blob, blobSize, f[k], f[k + 3])) return 0;
      }
      const DictRecord record{blob + f[0], blob + f[1], blob + f[2], f[3], f[4], f[5]};
      std::memcpy(raw + std::size_t{i} * sizeof(DictRecord), &record, sizeof(record));
    }

    text_ = std::move(text);
    recordStorage_ = std::move(records);
    records_ = recordStorage_.get();
    recordCapacity_ = count_ = count;
    textCapacity_ = textUsed_ = textSize_ = size;
    return count;
  } catch (const std::bad_alloc&) {
    MakeEmpty();
    return 0;
  }
}

}  // namespace qzf
