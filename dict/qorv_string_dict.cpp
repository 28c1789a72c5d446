#include "dict/qorv_string_dict.h"

namespace qzf {

namespace {
// The matcher's cursors rest here between matches.
constexpr char kIdleText[] = "";
}  // namespace

QorvStringDict::QorvStringDict()
    : text_(std::make_unique<char[]>(16)),
      // No whole record fits the 16 bytes a new store would get; capacity 0
      // makes the first add grow the array either way.
      recordStorage_(std::make_unique<DictRecord[]>(0)),
      engCursor_(kIdleText),
      chiCursor_(kIdleText) {}

QorvStringDict::~QorvStringDict() { records_ = nullptr; }

void QorvStringDict::SetCursorsIdle() {
  engCursor_ = kIdleText;
  chiCursor_ = kIdleText;
}

void QorvStringDict::MakeEmpty() {
  SetCursorsIdle();
  records_ = nullptr;
  count_ = 0;
  recordCapacity_ = 0;
  textCapacity_ = 0;
  textUsed_ = 0;
  textSize_ = 0;
  recordStorage_.reset();
  text_.reset();
}

}  // namespace qzf
