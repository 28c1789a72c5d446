// Lookups: binary search over the entries, all indices unsigned 32-bit.
#include <cstring>
#include <new>

#include "dict/qorv_string_dict.h"

namespace qzf {

namespace {

// The caller's key is never changed: the blanks are cut from a copy.
std::unique_ptr<char[]> CopyKey(const char* key) {
  const std::size_t length = std::strlen(key);
  auto copy = std::make_unique<char[]>(length + 8);
  std::memcpy(copy.get(), key, length + 1);
  return copy;
}

std::uint32_t ReadWordLE(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

}  // namespace

std::uint32_t QorvStringDict::SearchKey(const char* key, std::uint32_t* insertAt) const {
  std::uint32_t lo = 0;
  std::uint32_t hi = count_ - 1;  // 0xFFFFFFFF for an empty store: no search
  while (lo <= hi) {
    const auto mid = static_cast<std::uint32_t>((std::uint64_t{lo} + hi) / 2);
    if (mid >= count_ || hi == 0xFFFFFFFFu) break;
    const std::uint32_t order = CompareKeyA(key, records_[mid].ENG);
    if (order == kKeyEqual) return mid;
    if (order == kKeyBefore) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  if (insertAt != nullptr) *insertAt = lo;
  return kDictNoIndex;
}

const DictRecord* QorvStringDict::FindRecordA(const char* key) const {
  if (key == nullptr || records_ == nullptr) return nullptr;
  try {
    auto copy = CopyKey(key);
    const std::uint32_t found = SearchKey(TrimSpaces(copy.get(), 0, nullptr), nullptr);
    return found == kDictNoIndex ? nullptr : &records_[found];
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::uint32_t QorvStringDict::FindIndexA(const char* key) const {
  if (key == nullptr || records_ == nullptr) return kDictNoIndex;
  try {
    auto copy = CopyKey(key);
    std::uint32_t insertAt = 0;
    const std::uint32_t found = SearchKey(TrimSpaces(copy.get(), 0, nullptr), &insertAt);
    return found == kDictNoIndex ? insertAt : found;
  } catch (const std::bad_alloc&) {
    return kDictNoIndex;
  }
}

// Every text has at least four readable bytes from its pointer (its NUL and
// what follows inside the text buffer), so a short ENG reads its NUL and the
// bytes after it, never past the buffer.
const DictRecord* QorvStringDict::FindRecordByDword(std::uint32_t key) const {
  if (records_ == nullptr) return nullptr;
  std::uint32_t lo = 0;
  std::uint32_t hi = count_ - 1;
  while (lo <= hi) {
    const auto mid = static_cast<std::uint32_t>((std::uint64_t{lo} + hi) / 2);
    if (mid >= count_ || hi == 0xFFFFFFFFu || records_[mid].ENG == nullptr) return nullptr;
    const std::uint32_t value = ReadWordLE(records_[mid].ENG);
    if (key == value) return &records_[mid];
    if (key > value) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return nullptr;
}

}  // namespace qzf
