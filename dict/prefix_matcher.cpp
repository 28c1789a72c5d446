// The incremental prefix matcher: a key fed in pieces, each piece answered
// with the same number of bytes of the entry's CHI text, rounded up to a whole
// GBK double-byte character.
#include <cstring>
#include <new>

#include "dict/qorv_string_dict.h"

namespace qzf {

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

// Bytes of the CHI text from chi that answer a piece of n bytes.
std::size_t ChiShare(const char* chi, std::size_t n) {
  const auto* c = reinterpret_cast<const unsigned char*>(chi);
  std::size_t i = 0;
  while (i < n) {
    if (IsLeadByte(c[i]) && IsTrailByte(c[i + 1])) {
      i += 2;
    } else if (c[i] == 0) {
      break;
    } else {
      ++i;
    }
  }
  return i;
}

// The rest of the key ends at its last non-blank byte, so blanks at the end
// of a stored key never count and the stored text stays as it is.
std::size_t RestOfKey(const char* cursor) {
  std::size_t length = std::strlen(cursor);
  while (length > 0 && cursor[length - 1] == ' ') --length;
  return length;
}

}  // namespace

std::uint32_t QorvStringDict::MatchPieceA(const char* piece, char* out, std::uint32_t outSize) {
  if (piece == nullptr || out == nullptr || outSize == 0) return kMatchNone;
  std::unique_ptr<char[]> scratch;
  try {
    const std::size_t length = std::strlen(piece);
    scratch = std::make_unique<char[]>(length + 4);
    std::memcpy(scratch.get(), piece, length + 1);
  } catch (const std::bad_alloc&) {
    return kMatchNone;
  }
  std::uint32_t n = 0;
  const char* trimmed = TrimSpaces(scratch.get(), 0, &n);

  // Gives the share of n bytes at chiCursor and moves both cursors past it.
  auto giveShare = [&]() -> std::uint32_t {
    const std::size_t share = ChiShare(chiCursor_, n);
    if (share >= outSize) return kMatchNone;
    std::memcpy(out, chiCursor_, share);
    out[share] = '\0';
    engCursor_ += n;
    while (*engCursor_ == ' ') ++engCursor_;
    chiCursor_ += share;
    // Nothing but blanks left: the key is used up and the next piece starts
    // afresh.
    if (RestOfKey(engCursor_) == 0) SetCursorsIdle();
    return kMatchShare;
  };

  std::uint32_t result = kMatchNone;
  const std::size_t rest = RestOfKey(engCursor_);
  if (rest != 0) {
    if (n > rest || std::memcmp(engCursor_, trimmed, n) != 0) {
      result = kMatchNone;
    } else if (n == rest) {
      const std::size_t m = std::strlen(chiCursor_);
      if (m < outSize) {
        std::memcpy(out, chiCursor_, m + 1);
        SetCursorsIdle();
        result = kMatchComplete;
      }
    } else {
      result = giveShare();
    }
  } else if (records_ != nullptr) {
    std::uint32_t first = 0;
    const std::uint32_t equal = SearchKey(trimmed, &first);
    // A whole key is not matched piecewise; otherwise the first key after the
    // piece is the first in order that begins with it.
    if (equal == kDictNoIndex && first < count_ && std::strncmp(records_[first].ENG, trimmed, n) == 0) {
      engCursor_ = records_[first].ENG;
      chiCursor_ = records_[first].CHI;
      result = giveShare();
    }
  }
  if (result == kMatchNone) SetCursorsIdle();
  return result;
}

}  // namespace qzf
