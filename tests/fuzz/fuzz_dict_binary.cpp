// Arbitrary bytes as a binary image file; whatever loads must stay inside its
// buffers, survive lookups and edits, and write back to the same entries.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "dict/qorv_string_dict.h"
#include "tests/fuzz/dict_fuzz_check.h"

namespace {

std::string image;
std::string copy;

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) __builtin_trap();
  if (size != 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

bool SameEntries(const qzf::QorvStringDict& a, const qzf::QorvStringDict& b) {
  if (a.count() != b.count()) return false;
  for (std::uint32_t i = 0; i < a.count(); ++i) {
    const qzf::DictRecord& x = a.records()[i];
    const qzf::DictRecord& y = b.records()[i];
    if (std::string(x.ENG, x.ENGLength) != std::string(y.ENG, y.ENGLength) ||
        std::string(x.CHI, x.CHILength) != std::string(y.CHI, y.CHILength) ||
        std::string(x.Remark00, x.Remark00Length) != std::string(y.Remark00, y.Remark00Length)) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Paths with backslashes are taken as they stand; the native file calls map
  // them onto the Linux file system.
  const std::string stem = "\\tmp\\qzf-fuzz-binary-" + std::to_string(getpid());
  image = stem + ".bin";
  copy = stem + "-copy.bin";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string native = image;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  WriteFile(native, data, size);

  qzf::QorvStringDict dict;
  const std::uint32_t n = dict.LoadFromBINFileA(image.c_str());
  if (n != dict.count()) __builtin_trap();
  qzf::fuzz::CheckConsistent(dict);
  if (n == 0) return 0;

  for (std::uint32_t i = 0; i < dict.count(); ++i) {
    dict.FindRecordA(dict.records()[i].ENG);
    dict.FindRecordByDword(i);
  }
  // Written back and read again, the image gives the same entries.
  if (dict.SaveToBINFileA(copy.c_str()) == 0xFFFFFFFFu) __builtin_trap();
  qzf::QorvStringDict again;
  if (again.LoadFromBINFileA(copy.c_str()) != n || !SameEntries(dict, again)) __builtin_trap();

  // Edits on a loaded image: the first one grows the text buffer.
  dict.SetCHIA(0, "\xB0\xA1\xB0\xA2");
  dict.InsertBlankRecord(n);
  dict.AddRecordA("\xFF\xFF", "x", nullptr);
  qzf::fuzz::CheckConsistent(dict);
  return 0;
}
