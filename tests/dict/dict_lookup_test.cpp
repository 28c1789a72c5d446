#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "tests/dict/dict_test_util.h"

namespace qzf {
namespace {

using test::DictText;
using test::Entry;

// Two-byte game codes in ascending order, like the stock dictionary's keys.
std::vector<Entry> GameCodes(unsigned n) {
  std::vector<Entry> out;
  for (unsigned i = 0; i < n; ++i) {
    // Even low bytes only, so the odd code above each key is a gap.
    std::string eng = {static_cast<char>(0x81 + i / 90), static_cast<char>(0x40 + 2 * (i % 90))};
    std::string chi = "\xB0";
    chi += static_cast<char>(0xA1 + i % 90);
    out.push_back({eng, chi, ""});
  }
  return out;
}

TEST(DictLookup, NewStoreFindsNothing) {
  QorvStringDict dict;
  EXPECT_EQ(dict.records(), nullptr);
  EXPECT_EQ(dict.count(), 0u);
  EXPECT_EQ(dict.FindRecordA("a"), nullptr);
  EXPECT_EQ(dict.FindRecordA(""), nullptr);
  EXPECT_EQ(dict.FindRecordA(nullptr), nullptr);
  EXPECT_EQ(dict.FindIndexA("a"), kDictNoIndex);
  EXPECT_EQ(dict.FindRecordByDword(0), nullptr);
  EXPECT_EQ(dict.GetTextSize(), 0u);
  EXPECT_STREQ(dict.path(), "");
  EXPECT_STREQ(dict.engCursor(), "");
  EXPECT_STREQ(dict.chiCursor(), "");
}

TEST(DictLookup, EveryKeyFindsItsOwnEntryAndGapsFindNothing) {
  const std::vector<Entry> entries = GameCodes(333);
  QorvStringDict dict;
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText(entries).c_str()), entries.size());
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    const DictRecord* r = dict.FindRecordA(entries[i].eng.c_str());
    ASSERT_EQ(r, &dict.records()[i]) << i;
    EXPECT_EQ(dict.FindIndexA(entries[i].eng.c_str()), i);
    // The odd code just above each key is a gap.
    std::string gap = entries[i].eng;
    ++gap[1];
    EXPECT_EQ(dict.FindRecordA(gap.c_str()), nullptr) << i;
    EXPECT_EQ(dict.FindIndexA(gap.c_str()), i + 1);
  }
  // Before the first key and after the last one.
  EXPECT_EQ(dict.FindRecordA("\x81\x3F"), nullptr);
  EXPECT_EQ(dict.FindIndexA("\x81\x3F"), 0u);
  EXPECT_EQ(dict.FindRecordA("\xFF"), nullptr);
  EXPECT_EQ(dict.FindIndexA("\xFF"), entries.size());
  EXPECT_EQ(dict.FindRecordA(""), nullptr);
}

TEST(DictLookup, KeyBlanksAreTrimmedOnACopyButStoredBlanksNeverMatch) {
  QorvStringDict dict;
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText({{" a", "1", ""}, {"b", "2", ""}, {"c ", "3", ""}}).c_str()), 3u);
  char key[] = "  b ";
  EXPECT_EQ(dict.FindRecordA(key), &dict.records()[1]);
  EXPECT_STREQ(key, "  b ");
  EXPECT_EQ(dict.FindRecordA("a"), nullptr);
  EXPECT_EQ(dict.FindRecordA(" a"), nullptr);
  EXPECT_EQ(dict.FindRecordA("c "), nullptr);
  EXPECT_EQ(dict.FindRecordA("c"), nullptr);
}

TEST(DictLookup, FindIndexGivesMatchesAndInsertionPositions) {
  QorvStringDict dict;
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText({{"a", "", ""}, {"c", "", ""}}).c_str()), 2u);
  EXPECT_EQ(dict.FindIndexA("a"), 0u);
  EXPECT_EQ(dict.FindIndexA("b"), 1u);
  EXPECT_EQ(dict.FindIndexA("c"), 1u);
  EXPECT_EQ(dict.FindIndexA("d"), 2u);
  EXPECT_EQ(dict.FindIndexA(" "), 0u);
  EXPECT_EQ(dict.FindIndexA(nullptr), kDictNoIndex);
}

TEST(DictLookup, FindRecordByDwordSearchesByTheLittleEndianWord) {
  QorvStringDict dict;
  // Byte order and little-endian word order agree for these keys.
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText({{"aaaa", "1", ""}, {"baaa", "2", ""}, {"caaa", "3", ""}}).c_str()), 3u);
  EXPECT_EQ(dict.FindRecordByDword(0x61616161), &dict.records()[0]);
  EXPECT_EQ(dict.FindRecordByDword(0x61616162), &dict.records()[1]);
  EXPECT_EQ(dict.FindRecordByDword(0x61616163), &dict.records()[2]);
  EXPECT_EQ(dict.FindRecordByDword(0x61616164), nullptr);
  EXPECT_EQ(dict.FindRecordByDword(0), nullptr);

  // Short texts read their NUL and the zero bytes stored after it.
  QorvStringDict edited;
  ASSERT_NE(edited.AddRecordA("ab", "x", ""), nullptr);
  EXPECT_EQ(edited.FindRecordByDword(0x6261), &edited.records()[0]);
  // A blank entry's empty ENG has four readable zero bytes too.
  edited.InsertBlankRecord(0);
  EXPECT_EQ(edited.FindRecordByDword(0), &edited.records()[0]);
}

}  // namespace
}  // namespace qzf
