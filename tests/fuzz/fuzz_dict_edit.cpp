// Arbitrary sequences of edits, lookups, matches, saves and loads on one
// store, checked for consistency after every step.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>

#include "dict/qorv_string_dict.h"
#include "tests/fuzz/dict_fuzz_check.h"

namespace {

std::string savePath;

// Reads the operation stream: single bytes, and short texts (a length byte,
// then that many bytes, NUL bytes cut off by the string's own end).
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool More() const { return at_ < size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string Text() {
    std::size_t length = Byte() % 24;
    if (length > size_ - at_) length = size_ - at_;
    std::string text(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  savePath = "\\tmp\\qzf-fuzz-edit-" + std::to_string(getpid()) + ".txt";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string native = savePath;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  std::remove(native.c_str());

  qzf::QorvStringDict dict;
  Reader in(data, size);
  char out[16];
  int saves = 0;
  while (in.More()) {
    try {
      switch (in.Byte() % 12) {
        case 0:
        case 1: {
          const std::string eng = in.Text();
          const std::string chi = in.Text();
          const std::uint8_t nulls = in.Byte();
          dict.AddRecordA(eng.c_str(), nulls & 1 ? nullptr : chi.c_str(), nulls & 2 ? nullptr : chi.c_str());
          break;
        }
        case 2:
          dict.InsertBlankRecord(in.Byte());
          break;
        case 3:
          dict.SetENGA(in.Byte(), in.Text().c_str());
          break;
        case 4:
          dict.SetCHIA(in.Byte(), in.Text().c_str());
          break;
        case 5:
          dict.SetRemark00A(in.Byte(), in.Byte() & 1 ? nullptr : in.Text().c_str());
          break;
        case 6:
        case 7: {
          const std::uint8_t outSize = in.Byte() % sizeof(out);
          dict.MatchPieceA(in.Text().c_str(), out, outSize);
          break;
        }
        case 8: {
          const std::string key = in.Text();
          dict.FindRecordA(key.c_str());
          if (dict.FindIndexA(key.c_str()) > dict.count() && dict.records() != nullptr) __builtin_trap();
          dict.FindRecordByDword(in.Byte() * 0x01010101u);
          break;
        }
        case 9:
          // A few appends at most: each save adds the whole store to the file.
          if (saves++ < 3) dict.SaveToTXTFileA(savePath.c_str());
          break;
        case 10:
          dict.ReloadTXTFileA();
          break;
        case 11:
          // Loads the saved file (if any); its path then serves a reload.
          dict.LoadFromTXTFileA(savePath.c_str());
          break;
      }
    } catch (const std::bad_alloc&) {
      // Set operations and the blank insert let a failed growth through.
    }
    qzf::fuzz::CheckConsistent(dict);
  }
  std::remove(native.c_str());
  return 0;
}
