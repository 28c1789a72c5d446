// Arbitrary bytes as a dictionary text, then lookups of keys cut from the
// same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "dict/qorv_string_dict.h"
#include "tests/fuzz/dict_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  qzf::QorvStringDict dict;
  const std::uint32_t n = dict.LoadFromTXTStringA(text.c_str());
  if (n != dict.count()) __builtin_trap();
  qzf::fuzz::CheckConsistent(dict);

  for (std::uint32_t i = 0; i < dict.count(); ++i) {
    const qzf::DictRecord* found = dict.FindRecordA(dict.records()[i].ENG);
    // Unsorted input may hide an entry, but a hit always matches the key less
    // its outer blanks.
    std::string key = dict.records()[i].ENG;
    const char* trimmed = qzf::TrimSpaces(key.data(), 0, nullptr);
    if (found != nullptr && qzf::CompareKeyA(found->ENG, trimmed) != qzf::kKeyEqual) {
      __builtin_trap();
    }
    if (dict.FindIndexA(dict.records()[i].ENG) > dict.count()) __builtin_trap();
  }
  for (std::size_t at = 0; at + 1 < size && at < 64; at += 3) {
    const std::string key = text.substr(at, 1 + data[at] % 4);
    dict.FindRecordA(key.c_str());
    dict.FindIndexA(key.c_str());
    std::uint32_t word = 0;
    for (std::size_t k = 0; k < 4 && at + k < size; ++k) word |= std::uint32_t{data[at + k]} << (8 * k);
    dict.FindRecordByDword(word);
  }
  // The store's own text as a second source, then an empty reload.
  dict.LoadFromTXTStringA(dict.text());
  qzf::fuzz::CheckConsistent(dict);
  dict.ReloadTXTFileA();
  qzf::fuzz::CheckConsistent(dict);
  return 0;
}
