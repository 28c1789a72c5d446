// The generated stand-in for the game's code-mapping dictionary has the form
// the dictionary's saver writes and the counts the rewrite passes rely on.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "fontpatch/font_format.h"
#include "tests/data/code_page_decoder.h"
#include "tests/data/dictionary_text_reader.h"
#include "tests/data/stock_files.h"

namespace qzf {
namespace {

const std::string kNoChange = "!!!no_change!!!";

const test::SavedDictionary& Dictionary() {
  static const test::SavedDictionary dict = test::ReadSavedDictionary(test::GeneratedDictionaryText());
  return dict;
}

unsigned Code(const std::string& eng) {
  return static_cast<unsigned char>(eng[0]) << 8 | static_cast<unsigned char>(eng[1]);
}

TEST(StockDictionaryTest, HasTheSavedFormWith4904BlocksAndAFixedStamp) {
  EXPECT_EQ(test::GeneratedDictionaryText().size(), 840371u);
  const auto& dict = Dictionary();
  EXPECT_EQ(dict.problem, "");
  EXPECT_EQ(dict.entries.size(), 4904u);
  EXPECT_EQ(dict.banner, "Marrowgate QorvStringDict::SaveToTXTFileA Ver.0.19 2000-01-01 08:00:00");
}

TEST(StockDictionaryTest, KeysAreTwoByteGameCodesInStrictlyAscendingOrder) {
  const auto& entries = Dictionary().entries;
  ASSERT_FALSE(entries.empty());
  std::set<unsigned> highBytes;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ASSERT_EQ(entries[i].eng.size(), 2u) << i;
    const unsigned code = Code(entries[i].eng);
    EXPECT_TRUE((code & 0xFF) >= 0x40 && (code & 0xFF) <= 0xFC) << std::hex << code;
    highBytes.insert(code >> 8);
    // Byte-wise unsigned order, the order the lookups search in.
    if (i > 0) {
      EXPECT_LT(Code(entries[i - 1].eng), code) << i;
    }
  }
  EXPECT_EQ(highBytes.size(), 47u);
  EXPECT_EQ(Code(entries.front().eng), 0x8140u);
  EXPECT_EQ(entries.front().chi, "\xA1\xA1");
  EXPECT_EQ(Code(entries.back().eng), 0xFC4Bu);
}

TEST(StockDictionaryTest, TwelveCodesKeepTheGamesGlyph) {
  std::vector<unsigned> noChange;
  for (const auto& e : Dictionary().entries) {
    if (e.chi == kNoChange) noChange.push_back(Code(e.eng));
  }
  EXPECT_EQ(noChange, (std::vector<unsigned>{0x8145, 0x81BA, 0x81BB, 0x81E1, 0x81E2, 0x81F0, 0x81F6, 0x81F7, 0x874A,
                                             0x875F, 0x878D, 0x878E}));
}

TEST(StockDictionaryTest, CharactersSplitInto3398IdenticalAnd1494Different) {
  std::size_t identical = 0;
  std::map<unsigned, std::size_t> differentByRow;
  std::set<unsigned> differentCodes;
  std::set<std::string> identicalChis;
  std::set<std::string> differentChis;
  for (const auto& e : Dictionary().entries) {
    if (e.chi == kNoChange) continue;
    ASSERT_EQ(e.chi.size(), 2u) << std::hex << Code(e.eng);
    EXPECT_GE(static_cast<unsigned char>(e.chi[0]), 0x81);
    const auto chi = test::DecodeCodePage(936, e.chi);
    ASSERT_TRUE(chi.has_value()) << std::hex << Code(e.eng);
    EXPECT_EQ(chi->size(), 1u);
    if (test::DecodeCodePage(932, e.eng) == chi) {
      ++identical;
      identicalChis.insert(e.chi);
    } else {
      ++differentByRow[Code(e.eng) >> 8];
      differentCodes.insert(Code(e.eng));
      differentChis.insert(e.chi);
    }
  }
  EXPECT_EQ(identical, 3398u);
  EXPECT_EQ(differentCodes.size(), 1494u);
  EXPECT_EQ(differentByRow[0x87], 5u);
  std::size_t upper = 0;
  for (const auto& [row, n] : differentByRow) {
    if (row >= 0xE5) upper += n;
  }
  EXPECT_EQ(upper, 1489u);
  EXPECT_EQ(differentCodes.count(0xEAA5), 1u);
  EXPECT_FALSE(test::DecodeCodePage(932, "\xEA\xA5").has_value());
  // Each different code gets a character of its own, not one an identical entry shows.
  EXPECT_EQ(differentChis.size(), 1494u);
  for (const auto& c : differentChis) EXPECT_EQ(identicalChis.count(c), 0u);
}

TEST(StockDictionaryTest, OnlyEntries3497OnCarryABookkeepingTag) {
  const auto& entries = Dictionary().entries;
  std::size_t empty = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i < 3497) {
      EXPECT_EQ(entries[i].remark00, "") << i;
      empty += entries[i].remark00.empty();
      continue;
    }
    char tag[32];
    std::snprintf(tag, sizeof tag, "chs_append_No.%08u", static_cast<unsigned>(i));
    EXPECT_EQ(entries[i].remark00, tag);
    EXPECT_EQ(entries[i].remark00.size(), 22u);
  }
  EXPECT_EQ(empty, 3497u);
}

TEST(StockDictionaryTest, APassRedraws4892CellsAndKeepsTheOther2940) {
  std::map<std::string, std::string> chiByKey;
  for (const auto& e : Dictionary().entries) chiByKey.emplace(e.eng, e.chi);
  const unsigned char* font = test::GeneratedFont().data();
  std::set<std::string> tableKeys;
  std::size_t redrawn = 0, kept = 0, missing = 0;
  for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
    const std::string key = CodeKeyAt(font, i).data();
    tableKeys.insert(key);
    const auto entry = chiByKey.find(key);
    if (entry == chiByKey.end()) {
      ++missing;
    } else if (entry->second == kNoChange) {
      ++kept;
    } else {
      ++redrawn;
    }
  }
  EXPECT_EQ(redrawn, 4892u);
  EXPECT_EQ(kept, 12u);
  EXPECT_EQ(missing, 2928u);
  // 0x844D has an entry, but its place in the table went to the second 0x814D.
  std::vector<unsigned> withoutCell;
  for (const auto& [key, chi] : chiByKey) {
    if (tableKeys.count(key) == 0) withoutCell.push_back(Code(key));
  }
  EXPECT_EQ(withoutCell, std::vector<unsigned>{0x844D});
  EXPECT_NE(chiByKey.at("\x81\x4D"), kNoChange);
}

}  // namespace
}  // namespace qzf
