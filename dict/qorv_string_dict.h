// QorvStringDict: a sorted table of (ENG, CHI, Remark00) byte-string triples,
// read from the marker-delimited dictionary text or from a binary image, with
// a binary-search lookup by ENG, editing, saving and a piecewise prefix
// matcher. The whole text lives in one buffer and is parsed in place; every
// DictRecord points into it.
#pragma once

#include <cstdint>
#include <memory>

#include "dict/compare_key.h"
#include "dict/dict_record.h"
#include "dict/trim_spaces.h"

namespace qzf {

// Size of the path field; names and resolved paths must be shorter.
inline constexpr std::uint32_t kDictPathSize = 260;
// Largest dictionary text or binary image a loader accepts.
inline constexpr std::uint32_t kMaxDictFileSize = 200000000;
// FindIndexA's failure result.
inline constexpr std::uint32_t kDictNoIndex = 0xFFFFFFFFu;
// The savers' result when a write fails or moves fewer bytes than it should.
inline constexpr std::uint32_t kDictSaveFailed = 0xFFFFFFFFu;

// MatchPieceA results.
inline constexpr std::uint32_t kMatchNone = 0;
inline constexpr std::uint32_t kMatchShare = 1;
inline constexpr std::uint32_t kMatchComplete = 2;

class QorvStringDict {
 public:
  QorvStringDict();
  ~QorvStringDict();
  QorvStringDict(const QorvStringDict&) = delete;
  QorvStringDict& operator=(const QorvStringDict&) = delete;

  // Loaders: the number of entries read, or 0 on any failure. A refused name
  // or size keeps the previous content; any later failure leaves the store
  // empty. A failed walk writes its diagnostic to standard error.
  std::uint32_t LoadFromTXTFileA(const char* name);
  std::uint32_t LoadFromTXTStringA(const char* source);
  std::uint32_t ReloadTXTFileA();
  std::uint32_t LoadFromBINFileA(const char* name);

  // The entry whose ENG equals the key less its outer blanks, or null. Valid
  // until the store is next loaded or changed.
  const DictRecord* FindRecordA(const char* key) const;
  // The matching index, else the insertion position (0 to count);
  // kDictNoIndex for a null key, a store never filled, or no memory.
  std::uint32_t FindIndexA(const char* key) const;
  // Binary search by the first four bytes of ENG read as a little-endian word.
  const DictRecord* FindRecordByDword(std::uint32_t key) const;
  std::uint32_t GetTextSize() const { return textSize_; }

  // Adds an entry in sorted position (null chi or remark00 take eng); returns
  // it, or the present entry with the same trimmed ENG; null on failure.
  DictRecord* AddRecordA(const char* eng, const char* chi, const char* remark00);
  // Inserts an entry of three empty texts; returns the new count. Throws
  // std::bad_alloc when a buffer cannot grow.
  std::uint32_t InsertBlankRecord(std::uint32_t position);
  // Replace one text of entry index (past the end: the last entry). 1, or 0
  // on a store without entries. Throw std::bad_alloc when the buffer cannot
  // grow.
  std::uint32_t SetENGA(std::uint32_t index, const char* value);
  std::uint32_t SetCHIA(std::uint32_t index, const char* value);
  std::uint32_t SetRemark00A(std::uint32_t index, const char* value);

  // Appends the whole store in the text format to path (used unchanged) in
  // three writes: banner, entries, trailer. The bytes written; 0 for a null
  // path; kDictSaveFailed as soon as one write fails or comes back short (a
  // full disk), the later pieces then not written.
  std::uint32_t SaveToTXTFileA(const char* path) const;
  // Writes the store as a binary image, replacing path; the bytes written,
  // kDictSaveFailed when the file cannot be written whole, 0 when the store
  // does not fit an image the loader accepts.
  std::uint32_t SaveToBINFileA(const char* path) const;

  std::uint32_t NoOperation(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) const {
    return 0;
  }

  // Feeds one piece of a key; writes the matching share of its CHI text to
  // out. kMatchNone, kMatchShare (the match goes on) or kMatchComplete.
  std::uint32_t MatchPieceA(const char* piece, char* out, std::uint32_t outSize);

  // Read access to the fields.
  const char* path() const { return path_; }
  const char* text() const { return text_.get(); }
  std::uint32_t textSize() const { return textSize_; }
  const DictRecord* recordStorage() const { return recordStorage_.get(); }
  std::uint32_t textCapacity() const { return textCapacity_; }
  std::uint32_t textUsed() const { return textUsed_; }
  std::uint32_t recordCapacity() const { return recordCapacity_; }
  const char* engCursor() const { return engCursor_; }
  const char* chiCursor() const { return chiCursor_; }
  std::uint32_t count() const { return count_; }
  const DictRecord* records() const { return records_; }

 private:
  std::uint32_t LoadText(std::unique_ptr<char[]> buffer, std::uint32_t size);
  void MakeEmpty();
  void SetCursorsIdle();
  std::uint32_t SearchKey(const char* key, std::uint32_t* insertAt) const;
  void GrowText(std::uint64_t newCapacity, const char** keepValid = nullptr, int keepCount = 0);
  void GrowRecords();
  char* StoreText(const char* value, std::uint32_t length);
  std::uint32_t SetText(std::uint32_t index, const char* value, char* DictRecord::*text,
                        std::uint32_t DictRecord::*length, bool doubling);

  char path_[kDictPathSize] = {};
  std::unique_ptr<char[]> text_;
  std::uint32_t textSize_ = 0;
  std::unique_ptr<DictRecord[]> recordStorage_;
  std::uint32_t textCapacity_ = 0;
  std::uint32_t textUsed_ = 0;
  std::uint32_t recordCapacity_ = 0;
  const char* engCursor_;
  const char* chiCursor_;
  std::uint32_t count_ = 0;
  DictRecord* records_ = nullptr;
};

}  // namespace qzf
