// Editing: new texts go to the write position textUsed, which only grows;
// the text buffer and the record array grow in large steps.
#include <cstdint>
#include <cstring>
#include <new>

#include "dict/qorv_string_dict.h"

namespace qzf {

namespace {

constexpr std::uint32_t kRecordStep = 10000;

// Lengths are kept in 32 bits; a longer text cannot be stored.
std::uint32_t TextLength(const char* s) {
  const std::size_t length = std::strlen(s);
  if (length > 0xFFFFFFF0u) throw std::bad_alloc();
  return static_cast<std::uint32_t>(length);
}

bool Inside(const char* p, const char* begin, std::size_t size) {
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const auto start = reinterpret_cast<std::uintptr_t>(begin);
  return begin != nullptr && at >= start && at - start < size;
}

}  // namespace

// keep: caller's argument pointers that may point into the old buffer; they
// are moved along with the entries so they stay readable.
void QorvStringDict::GrowText(std::uint64_t newCapacity, const char** keep, int keepCount) {
  if (newCapacity > 0xFFFFFFFFu - 4) throw std::bad_alloc();
  auto grown = std::make_unique<char[]>(newCapacity + 4);
  char* old = text_.get();
  const std::size_t oldSize = std::size_t{textCapacity_} + 4;
  if (old != nullptr) std::memcpy(grown.get(), old, oldSize);
  // Moves a pointer into the old buffer to the same place in the new one.
  auto move = [&](auto p) { return Inside(p, old, oldSize) ? static_cast<decltype(p)>(grown.get() + (p - old)) : p; };
  for (std::uint32_t i = 0; i < count_; ++i) {
    DictRecord& r = records_[i];
    r.ENG = move(r.ENG);
    r.CHI = move(r.CHI);
    r.Remark00 = move(r.Remark00);
  }
  for (int k = 0; k < keepCount; ++k) keep[k] = move(keep[k]);
  text_ = std::move(grown);
  // A pending match must not point into the released buffer.
  SetCursorsIdle();
  textUsed_ = textCapacity_;
  textCapacity_ = static_cast<std::uint32_t>(newCapacity);
}

void QorvStringDict::GrowRecords() {
  const std::uint64_t capacity = std::uint64_t{recordCapacity_} + kRecordStep;
  if (capacity * sizeof(DictRecord) > 0xFFFFFFFFu) throw std::bad_alloc();
  auto grown = std::make_unique<DictRecord[]>(capacity);
  if (count_ != 0) std::memcpy(grown.get(), records_, std::size_t{count_} * sizeof(DictRecord));
  recordStorage_ = std::move(grown);
  records_ = recordStorage_.get();
  recordCapacity_ = static_cast<std::uint32_t>(capacity);
}

// Stores the text, its NUL and three zero bytes at the write position; the
// caller has made sure they fit within textCapacity.
char* QorvStringDict::StoreText(const char* value, std::uint32_t length) {
  char* at = text_.get() + textUsed_;
  std::memmove(at, value, length);
  std::memset(at + length, 0, 4);
  textUsed_ += length + 4;
  textSize_ = textUsed_;
  return at;
}

DictRecord* QorvStringDict::AddRecordA(const char* eng, const char* chi, const char* remark00) {
  if (eng == nullptr) return nullptr;
  try {
    const char* args[3] = {eng, chi != nullptr ? chi : eng, remark00 != nullptr ? remark00 : eng};
    const std::uint32_t lengths[3] = {TextLength(args[0]), TextLength(args[1]), TextLength(args[2])};
    const std::uint64_t all = std::uint64_t{lengths[0]} + lengths[1] + lengths[2];
    if (textUsed_ + all + 12 >= textCapacity_) GrowText(textCapacity_ + all + 0x10000C, args, 3);
    if (std::uint64_t{count_} + 2 >= recordCapacity_) GrowRecords();

    char* stored = text_.get() + textUsed_;
    std::memmove(stored, args[0], std::size_t{lengths[0]} + 1);
    std::uint32_t engLength = 0;
    char* engText = TrimSpaces(stored, 0, &engLength);

    std::uint32_t at = 0;
    const std::uint32_t present = SearchKey(engText, &at);
    if (present != kDictNoIndex) return &records_[present];

    if (at < count_) {
      std::memmove(&records_[at + 1], &records_[at], std::size_t{count_ - at} * sizeof(DictRecord));
    }
    DictRecord& r = records_[at];
    std::memset(engText + engLength, 0, 4);
    r.ENG = engText;
    r.ENGLength = engLength;
    r.CHI = engText + engLength + 4;
    r.CHILength = lengths[1];
    std::memmove(r.CHI, args[1], lengths[1]);
    std::memset(r.CHI + lengths[1], 0, 4);
    r.Remark00 = r.CHI + lengths[1] + 4;
    r.Remark00Length = lengths[2];
    std::memmove(r.Remark00, args[2], lengths[2]);
    std::memset(r.Remark00 + lengths[2], 0, 4);

    textUsed_ = static_cast<std::uint32_t>(r.Remark00 + lengths[2] + 4 - text_.get());
    textSize_ = textUsed_;
    ++count_;
    return &r;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::uint32_t QorvStringDict::InsertBlankRecord(std::uint32_t position) {
  if (std::uint64_t{count_} + 2 >= recordCapacity_) GrowRecords();
  // The three empty texts share one stored empty text: inside the buffer, with
  // four readable bytes, and moved along by every growth.
  if (std::uint64_t{textUsed_} + 4 >= textCapacity_) GrowText(std::uint64_t{textCapacity_} + 0x100004);
  char* empty = StoreText("", 0);
  const DictRecord blank{empty, empty, empty, 0, 0, 0};
  if (position >= count_) {
    records_[count_] = blank;
  } else {
    std::memmove(&records_[position + 1], &records_[position], std::size_t{count_ - position} * sizeof(DictRecord));
    records_[position] = blank;
  }
  return ++count_;
}

std::uint32_t QorvStringDict::SetText(std::uint32_t index, const char* value, char* DictRecord::*text,
                                      std::uint32_t DictRecord::*length, bool doubling) {
  if (count_ == 0) return 0;
  if (index >= count_) index = count_ - 1;
  if (value == nullptr) value = "";
  const std::uint32_t newLength = TextLength(value);
  DictRecord& r = records_[index];
  if (newLength < r.*length) {
    std::memmove(r.*text, value, std::size_t{newLength} + 1);
    r.*length = newLength;
    return 1;
  }
  if (std::uint64_t{textUsed_} + newLength + 4 >= textCapacity_) {
    const std::uint64_t capacity = doubling ? 2 * std::uint64_t{textCapacity_} + newLength + 4
                                            : std::uint64_t{textCapacity_} + newLength + 0x100004;
    GrowText(capacity, &value, 1);
  }
  r.*text = StoreText(value, newLength);
  r.*length = newLength;
  return 1;
}

std::uint32_t QorvStringDict::SetENGA(std::uint32_t index, const char* value) {
  return SetText(index, value, &DictRecord::ENG, &DictRecord::ENGLength, true);
}

std::uint32_t QorvStringDict::SetCHIA(std::uint32_t index, const char* value) {
  return SetText(index, value, &DictRecord::CHI, &DictRecord::CHILength, false);
}

std::uint32_t QorvStringDict::SetRemark00A(std::uint32_t index, const char* value) {
  return SetText(index, value, &DictRecord::Remark00, &DictRecord::Remark00Length, false);
}

}  // namespace qzf
