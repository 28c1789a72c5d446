// Writing the binary image the loader reads: every text of every entry in the
// blob in entry order, each followed by a zero byte.
#include <cstring>
#include <new>
#include <string>

#include "dict/dict_binary_image.h"
#include "dict/qorv_string_dict.h"
#include "fileutil/file_range.h"

namespace qzf {

namespace {

// A missing text is written as the empty text.
std::uint32_t StoredLength(const char* text, std::uint32_t length) { return text != nullptr ? length : 0; }

}  // namespace

std::uint32_t QorvStringDict::SaveToBINFileA(const char* path) const {
  if (path == nullptr) return 0;
  try {
    const std::uint64_t tableBytes = std::uint64_t{kImageRecordSize} * count_;
    std::uint64_t size = kImageHeaderSize + tableBytes;
    for (std::uint32_t i = 0; i < count_; ++i) {
      const DictRecord& r = records_[i];
      size += std::uint64_t{StoredLength(r.ENG, r.ENGLength)} + StoredLength(r.CHI, r.CHILength) +
              StoredLength(r.Remark00, r.Remark00Length) + 3;
    }
    if (size > kMaxDictFileSize) return 0;

    std::string image(size, '\0');
    auto* out = reinterpret_cast<unsigned char*>(image.data());
    WriteImageWord(out, kImageVersion);
    WriteImageWord(out + 4, count_);
    std::uint32_t blobUsed = 0;
    unsigned char* blob = out + kImageHeaderSize + tableBytes;
    for (std::uint32_t i = 0; i < count_; ++i) {
      const DictRecord& r = records_[i];
      const char* texts[3] = {r.ENG, r.CHI, r.Remark00};
      const std::uint32_t lengths[3] = {StoredLength(r.ENG, r.ENGLength), StoredLength(r.CHI, r.CHILength),
                                        StoredLength(r.Remark00, r.Remark00Length)};
      unsigned char* row = out + kImageHeaderSize + std::size_t{i} * kImageRecordSize;
      for (int k = 0; k < 3; ++k) {
        WriteImageWord(row + 4 * k, blobUsed);
        WriteImageWord(row + 12 + 4 * k, lengths[k]);
        if (lengths[k] != 0) std::memcpy(blob + blobUsed, texts[k], lengths[k]);
        blobUsed += lengths[k];
        blob[blobUsed++] = 0;
      }
    }

    WriteFileRangeArgs args;
    args.path = path;
    args.data = image.data();
    args.offset = 0;
    args.size = image.size();
    args.creationDisposition = CREATE_ALWAYS;
    const std::uint32_t written = WriteFileRange(args);
    return written == image.size() ? written : kDictSaveFailed;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // namespace qzf
