#include "tests/dict/dict_test_util.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "tests/support/dictionary_text.h"

#ifndef _WIN32
#include "platform/native/native_path.h"
#endif

namespace qzf::test {

void PrintTo(const Entry& e, std::ostream* os) {
  *os << "{" << ::testing::PrintToString(e.eng) << ", " << ::testing::PrintToString(e.chi) << ", "
      << ::testing::PrintToString(e.remark) << "}";
}

std::string DictBlock(std::size_t index, const Entry& e) { return DictionaryBlock(index, e.eng, e.chi, e.remark); }

std::string DictText(const std::vector<Entry>& entries) {
  std::string text = "Marrowgate QorvStringDict::SaveToTXTFileA Ver.0.19 2024-01-02 03:04:05\r\n\r\n\r\n";
  for (std::size_t i = 0; i < entries.size(); ++i) text += DictBlock(i, entries[i]);
  return text + kDictionaryTrailer;
}

std::vector<Entry> Entries(const QorvStringDict& dict) {
  std::vector<Entry> out;
  for (std::uint32_t i = 0; i < dict.count(); ++i) {
    const DictRecord& r = dict.records()[i];
    out.push_back(
        {std::string(r.ENG, r.ENGLength), std::string(r.CHI, r.CHILength), std::string(r.Remark00, r.Remark00Length)});
  }
  return out;
}

bool InTextBuffer(const QorvStringDict& dict, const char* p) {
  if (dict.text() == nullptr || p == nullptr) return false;
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const auto start = reinterpret_cast<std::uintptr_t>(dict.text());
  return at >= start && at - start < std::uintptr_t{dict.textCapacity()} + 4;
}

::testing::AssertionResult Consistent(const QorvStringDict& dict) {
  if (dict.count() > dict.recordCapacity()) return ::testing::AssertionFailure() << "count above recordCapacity";
  if (dict.count() != 0 && dict.records() == nullptr) return ::testing::AssertionFailure() << "entries, no array";
  for (std::uint32_t i = 0; i < dict.count(); ++i) {
    const DictRecord& r = dict.records()[i];
    const char* texts[3] = {r.ENG, r.CHI, r.Remark00};
    const std::uint32_t lengths[3] = {r.ENGLength, r.CHILength, r.Remark00Length};
    for (int k = 0; k < 3; ++k) {
      if (!InTextBuffer(dict, texts[k]) || !InTextBuffer(dict, texts[k] + lengths[k]) ||
          !InTextBuffer(dict, texts[k] + 3)) {
        return ::testing::AssertionFailure() << "entry " << i << " text " << k << " outside the text buffer";
      }
      if (std::strlen(texts[k]) != lengths[k]) {
        return ::testing::AssertionFailure() << "entry " << i << " text " << k << " length disagrees";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

std::string WinPath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return WinPathFromNative(path);
#endif
}

}  // namespace qzf::test
