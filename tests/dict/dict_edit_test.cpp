#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "tests/dict/dict_test_util.h"

namespace qzf {
namespace {

using test::DictText;
using test::Entries;
using test::Entry;

std::vector<std::string> Engs(const QorvStringDict& dict) {
  std::vector<std::string> out;
  for (const Entry& e : Entries(dict)) out.push_back(e.eng);
  return out;
}

TEST(DictEdit, FirstAddOnANewStoreGrowsBothBuffers) {
  QorvStringDict dict;
  const DictRecord* r = dict.AddRecordA("\x81\x40", "\xA1\xA1", "rem");
  ASSERT_EQ(r, &dict.records()[0]);
  EXPECT_EQ(dict.count(), 1u);
  EXPECT_EQ(dict.recordCapacity(), 10000u);
  EXPECT_EQ(dict.records(), dict.recordStorage());
  EXPECT_EQ(dict.textCapacity(), 2u + 2u + 3u + 0x10000Cu);
  // ENG, CHI and Remark00 each take their length + 4 bytes, one after another.
  EXPECT_EQ(dict.textUsed(), 2u + 2u + 3u + 12u);
  EXPECT_EQ(dict.GetTextSize(), dict.textUsed());
  EXPECT_EQ(r->ENG, dict.text());
  EXPECT_EQ(r->CHI, r->ENG + 6);
  EXPECT_EQ(r->Remark00, r->CHI + 6);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>{{"\x81\x40", "\xA1\xA1", "rem"}}));
  EXPECT_TRUE(test::Consistent(dict));
}

TEST(DictEdit, AddWithOnlyEngCopiesItIntoChiAndRemark) {
  QorvStringDict dict;
  ASSERT_NE(dict.AddRecordA(" k ", nullptr, nullptr), nullptr);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>{{"k", " k ", " k "}}));
  EXPECT_EQ(dict.AddRecordA(nullptr, "x", "y"), nullptr);
  EXPECT_EQ(dict.count(), 1u);
}

TEST(DictEdit, AddsKeepTheOrderAndReturnPresentEntriesUnchanged) {
  QorvStringDict dict;
  dict.AddRecordA("b", "2", "");
  dict.AddRecordA("a", "1", "");
  dict.AddRecordA("c", "3", "");
  EXPECT_EQ(Engs(dict), (std::vector<std::string>{"a", "b", "c"}));
  const std::uint32_t used = dict.textUsed();
  const DictRecord* present = dict.AddRecordA("  b", "other", "x");
  ASSERT_EQ(present, &dict.records()[1]);
  EXPECT_EQ(std::string(present->CHI), "2");
  EXPECT_EQ(dict.count(), 3u);
  EXPECT_EQ(dict.textUsed(), used);
  EXPECT_EQ(dict.GetTextSize(), used);
}

TEST(DictEdit, BlanksAroundAnAddedEngAreTrimmedWithoutOverlap) {
  QorvStringDict dict;
  const DictRecord* first = dict.AddRecordA("  ab ", "c", "dd");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->ENGLength, 2u);
  EXPECT_EQ(dict.FindRecordA("ab"), first);
  // The leading blanks stay in the buffer before the stored ENG.
  EXPECT_EQ(first->ENG, dict.text() + 2);
  const char* remarkEnd = first->Remark00 + first->Remark00Length;
  const DictRecord* second = dict.AddRecordA("b", "e", "f");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->ENG, remarkEnd + 4);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>{{"ab", "c", "dd"}, {"b", "e", "f"}}));
  EXPECT_TRUE(test::Consistent(dict));
}

TEST(DictEdit, ManyAddsGrowTheRecordArrayInStepsOf10000) {
  QorvStringDict dict;
  for (unsigned i = 0; i < 10000; ++i) {
    char key[16];
    std::snprintf(key, sizeof(key), "%05u", 9999 - i);  // descending: every add inserts at 0
    ASSERT_NE(dict.AddRecordA(key, "v", ""), nullptr) << i;
  }
  EXPECT_EQ(dict.count(), 10000u);
  EXPECT_EQ(dict.recordCapacity(), 20000u);
  EXPECT_STREQ(dict.records()[0].ENG, "00000");
  EXPECT_STREQ(dict.records()[9999].ENG, "09999");
  EXPECT_TRUE(test::Consistent(dict));
}

TEST(DictEdit, AddAfterALoadFollowsTheGrowthRules) {
  QorvStringDict dict;
  const std::string text = DictText({{"a", "1", ""}, {"c", "3", ""}});
  ASSERT_EQ(dict.LoadFromTXTStringA(text.c_str()), 2u);
  const auto size = static_cast<std::uint32_t>(text.size());
  const DictRecord* b = dict.AddRecordA("b", "22", "333");
  ASSERT_EQ(b, &dict.records()[1]);
  EXPECT_EQ(dict.textCapacity(), size + 6u + 0x10000Cu);
  EXPECT_EQ(dict.recordCapacity(), 10002u);
  // The write position jumps to the old capacity, the end of the loaded text.
  EXPECT_EQ(b->ENG, dict.text() + size);
  EXPECT_EQ(dict.textUsed(), size + 6u + 12u);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>{{"a", "1", ""}, {"b", "22", "333"}, {"c", "3", ""}}));
  EXPECT_TRUE(test::Consistent(dict));
}

TEST(DictEdit, BlankInsertsGoWhereAskedAndAppendPastTheEnd) {
  QorvStringDict dict;
  dict.AddRecordA("a", "1", "");
  dict.AddRecordA("b", "2", "");
  EXPECT_EQ(dict.InsertBlankRecord(0), 3u);
  EXPECT_EQ(Engs(dict), (std::vector<std::string>{"", "a", "b"}));
  EXPECT_EQ(dict.InsertBlankRecord(2), 4u);
  EXPECT_EQ(Engs(dict), (std::vector<std::string>{"", "a", "", "b"}));
  EXPECT_EQ(dict.InsertBlankRecord(4), 5u);
  EXPECT_EQ(dict.InsertBlankRecord(1000), 6u);
  EXPECT_EQ(Engs(dict), (std::vector<std::string>{"", "a", "", "b", "", ""}));
  EXPECT_EQ(Entries(dict)[0], (Entry{"", "", ""}));
  // The empty texts live inside the text buffer.
  EXPECT_TRUE(test::Consistent(dict));

  QorvStringDict fresh;
  EXPECT_EQ(fresh.InsertBlankRecord(7), 1u);
  EXPECT_EQ(fresh.recordCapacity(), 10000u);
  EXPECT_TRUE(test::Consistent(fresh));
}

TEST(DictEdit, BlankEntriesStayValidWhenTheTextBufferGrows) {
  QorvStringDict dict;
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText({{"b", "1", ""}}).c_str()), 1u);
  dict.InsertBlankRecord(0);
  const char* before = dict.text();
  // A text bigger than the spare room forces the buffer to move.
  const std::string big(0x200000, 'x');
  ASSERT_NE(dict.AddRecordA("c", big.c_str(), ""), nullptr);
  ASSERT_NE(dict.text(), before);
  EXPECT_TRUE(test::Consistent(dict));
  EXPECT_EQ(Entries(dict)[0], (Entry{"", "", ""}));
  EXPECT_EQ(dict.FindRecordByDword(0), &dict.records()[0]);
}

TEST(DictEdit, SetClampsTheIndexToTheLastEntry) {
  QorvStringDict dict;
  dict.AddRecordA("a", "1", "");
  dict.AddRecordA("b", "2", "");
  dict.AddRecordA("c", "3", "");
  EXPECT_EQ(dict.SetENGA(5, "z"), 1u);
  EXPECT_EQ(Engs(dict), (std::vector<std::string>{"a", "b", "z"}));
  EXPECT_EQ(dict.SetCHIA(0xFFFFFFFF, "last"), 1u);
  EXPECT_EQ(Entries(dict)[2].chi, "last");
}

TEST(DictEdit, ShorterTextIsRewrittenInPlaceLongerOneAtTheWritePosition) {
  QorvStringDict dict;
  dict.AddRecordA("a", "abcd", "xyz");
  const DictRecord& r = dict.records()[0];
  const char* chi = r.CHI;
  const std::uint32_t used = dict.textUsed();
  EXPECT_EQ(dict.SetCHIA(0, "ab"), 1u);
  EXPECT_EQ(r.CHI, chi);
  EXPECT_EQ(r.CHILength, 2u);
  EXPECT_EQ(dict.textUsed(), used);

  EXPECT_EQ(dict.SetCHIA(0, "cd"), 1u);  // equal length: stored anew
  EXPECT_EQ(r.CHI, dict.text() + used);
  EXPECT_EQ(dict.textUsed(), used + 2 + 4);
  EXPECT_EQ(dict.GetTextSize(), dict.textUsed());

  EXPECT_EQ(dict.SetRemark00A(0, nullptr), 1u);
  EXPECT_EQ(r.Remark00Length, 0u);
  EXPECT_STREQ(r.Remark00, "");
  EXPECT_EQ(dict.textUsed(), used + 6);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>{{"a", "cd", ""}}));
  EXPECT_TRUE(test::Consistent(dict));
}

TEST(DictEdit, SetGrowthRulesDifferForEngAndTheOtherTexts) {
  const std::string text = DictText({{"a", "1", "2"}});
  const auto size = static_cast<std::uint32_t>(text.size());
  {
    QorvStringDict dict;
    ASSERT_EQ(dict.LoadFromTXTStringA(text.c_str()), 1u);
    EXPECT_EQ(dict.SetENGA(0, "abc"), 1u);
    EXPECT_EQ(dict.textCapacity(), 2 * size + 3 + 4);
    EXPECT_EQ(dict.records()[0].ENG, dict.text() + size);
    EXPECT_EQ(dict.textUsed(), size + 3 + 4);
  }
  for (bool chi : {true, false}) {
    QorvStringDict dict;
    ASSERT_EQ(dict.LoadFromTXTStringA(text.c_str()), 1u);
    EXPECT_EQ(chi ? dict.SetCHIA(0, "abc") : dict.SetRemark00A(0, "abc"), 1u);
    EXPECT_EQ(dict.textCapacity(), size + 3 + 0x100004u);
    EXPECT_EQ(dict.textUsed(), size + 3 + 4);
    EXPECT_EQ(Entries(dict)[0], chi ? (Entry{"a", "abc", "2"}) : (Entry{"a", "1", "abc"}));
    EXPECT_TRUE(test::Consistent(dict));
  }
}

TEST(DictEdit, SetOnAStoreWithoutEntriesChangesNothing) {
  QorvStringDict dict;
  EXPECT_EQ(dict.SetENGA(0, "a"), 0u);
  EXPECT_EQ(dict.SetCHIA(3, "a"), 0u);
  EXPECT_EQ(dict.SetRemark00A(0xFFFFFFFF, nullptr), 0u);
  EXPECT_EQ(dict.count(), 0u);
  EXPECT_EQ(dict.textUsed(), 0u);
  EXPECT_EQ(dict.textCapacity(), 0u);
  EXPECT_EQ(dict.records(), nullptr);
}

// Arguments that point into the store's own buffer are read before the buffer
// is replaced by a larger one.
TEST(DictEdit, ArgumentsFromTheStoreSurviveAGrowth) {
  QorvStringDict dict;
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText({{"a", "first chi", "r"}}).c_str()), 1u);
  const DictRecord* added = dict.AddRecordA("b", dict.records()[0].CHI, dict.records()[0].ENG);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(Entries(dict)[1], (Entry{"b", "first chi", "a"}));

  QorvStringDict other;
  ASSERT_EQ(other.LoadFromTXTStringA(DictText({{"a", "x", "long remark"}}).c_str()), 1u);
  EXPECT_EQ(other.SetCHIA(0, other.records()[0].Remark00), 1u);
  EXPECT_EQ(Entries(other)[0], (Entry{"a", "long remark", "long remark"}));
  EXPECT_TRUE(test::Consistent(other));
}

}  // namespace
}  // namespace qzf
