#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dict/qorv_string_dict.h"
#include "tests/dict/dict_test_util.h"

namespace qzf {
namespace {

// CHI texts of GBK double-byte characters: four bytes for ABCD, two for ABX.
const char kAbcdChi[] = "\xB0\xA1\xB0\xA2";
const char kAbxChi[] = "\xB0\xA3";

class MatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dict.AddRecordA("ABCD", kAbcdChi, "");
    dict.AddRecordA("ABX", kAbxChi, "");
  }
  // Feeds a piece; the result, and out as a string when something was written.
  std::uint32_t Feed(const char* piece, std::uint32_t outSize = sizeof(out)) {
    std::memset(out, '#', sizeof(out));
    return dict.MatchPieceA(piece, out, outSize);
  }
  bool Idle() const { return dict.engCursor()[0] == '\0' && !test::InTextBuffer(dict, dict.engCursor()); }
  QorvStringDict dict;
  char out[32];
};

TEST_F(MatcherTest, PiecesOfAKeyGetTheirSharesOfItsChiText) {
  EXPECT_EQ(Feed("AB"), kMatchShare);
  EXPECT_EQ(std::string(out), "\xB0\xA1");
  EXPECT_FALSE(Idle());
  EXPECT_EQ(Feed("CD"), kMatchComplete);
  EXPECT_EQ(std::string(out), "\xB0\xA2");
  EXPECT_TRUE(Idle());
  EXPECT_STREQ(dict.chiCursor(), "");
}

TEST_F(MatcherTest, OneByteShareIsRoundedUpToAWholeCharacter) {
  EXPECT_EQ(Feed("A"), kMatchShare);
  EXPECT_EQ(std::string(out), "\xB0\xA1");
  EXPECT_EQ(Feed("B"), kMatchShare);
  EXPECT_EQ(std::string(out), "\xB0\xA2");
  EXPECT_EQ(Feed("C"), kMatchShare);
  EXPECT_EQ(std::string(out), "");  // the CHI text is used up
  EXPECT_EQ(Feed("D"), kMatchComplete);
  EXPECT_EQ(std::string(out), "");
}

TEST_F(MatcherTest, PieceThatDoesNotContinueAbandonsTheMatch) {
  EXPECT_EQ(Feed("AB"), kMatchShare);
  EXPECT_EQ(Feed("X"), kMatchNone);
  EXPECT_EQ(out[0], '#');
  EXPECT_TRUE(Idle());
  // ABX is not tried; X alone begins no key.
  EXPECT_EQ(Feed("X"), kMatchNone);
  EXPECT_EQ(Feed("ABCDE"), kMatchNone);
}

TEST_F(MatcherTest, WholeKeyIsNotMatchedPiecewise) {
  EXPECT_EQ(Feed("ABX"), kMatchNone);
  EXPECT_EQ(Feed("ABCD"), kMatchNone);
  EXPECT_TRUE(Idle());
}

TEST_F(MatcherTest, BlanksAroundAPieceAreIgnored) {
  EXPECT_EQ(Feed("  AB "), kMatchShare);
  EXPECT_EQ(std::string(out), "\xB0\xA1");
  EXPECT_EQ(Feed(" CD"), kMatchComplete);
}

TEST_F(MatcherTest, EmptyPieceStartsOnTheFirstEntryAndKeepsAPendingMatch) {
  EXPECT_EQ(Feed("   "), kMatchShare);
  EXPECT_EQ(std::string(out), "");
  EXPECT_EQ(dict.engCursor(), dict.records()[0].ENG);
  EXPECT_EQ(Feed("AB"), kMatchShare);
  const char* eng = dict.engCursor();
  const char* chi = dict.chiCursor();
  EXPECT_EQ(Feed(""), kMatchShare);
  EXPECT_EQ(std::string(out), "");
  EXPECT_EQ(dict.engCursor(), eng);
  EXPECT_EQ(dict.chiCursor(), chi);

  // An empty first key is an exact match.
  dict.InsertBlankRecord(0);
  dict.MatchPieceA("?", out, sizeof(out));  // back to idle
  EXPECT_EQ(Feed(""), kMatchNone);
}

TEST_F(MatcherTest, OutputSizeMustExceedTheShare) {
  EXPECT_EQ(Feed("AB", 2), kMatchNone);
  EXPECT_EQ(out[0], '#');
  EXPECT_TRUE(Idle());
  EXPECT_EQ(Feed("AB", 3), kMatchShare);
  EXPECT_EQ(Feed("CD", 2), kMatchNone);
  EXPECT_TRUE(Idle());
  EXPECT_EQ(Feed("AB", 3), kMatchShare);
  EXPECT_EQ(Feed("CD", 3), kMatchComplete);
}

TEST_F(MatcherTest, NullArgumentsChangeNothing) {
  EXPECT_EQ(Feed("AB"), kMatchShare);
  const char* eng = dict.engCursor();
  EXPECT_EQ(dict.MatchPieceA(nullptr, out, sizeof(out)), kMatchNone);
  EXPECT_EQ(dict.MatchPieceA("CD", nullptr, 10), kMatchNone);
  EXPECT_EQ(dict.MatchPieceA("CD", out, 0), kMatchNone);
  EXPECT_EQ(dict.engCursor(), eng);
  EXPECT_EQ(Feed("CD"), kMatchComplete);
}

TEST_F(MatcherTest, CursorsGoIdleWhenTheTextBufferMovesOrIsReleased) {
  EXPECT_EQ(Feed("AB"), kMatchShare);
  const std::string big(0x200000, 'x');
  ASSERT_NE(dict.AddRecordA("Z", big.c_str(), ""), nullptr);
  EXPECT_TRUE(Idle());
  EXPECT_EQ(Feed("CD"), kMatchNone);

  EXPECT_EQ(Feed("AB"), kMatchShare);
  ASSERT_EQ(dict.LoadFromTXTStringA(test::DictText({{"ABCD", kAbcdChi, ""}}).c_str()), 1u);
  EXPECT_TRUE(Idle());
  EXPECT_EQ(Feed("CD"), kMatchNone);
  EXPECT_EQ(Feed("AB"), kMatchShare);
  EXPECT_EQ(dict.ReloadTXTFileA(), 0u);
  EXPECT_TRUE(Idle());
  EXPECT_EQ(Feed("CD"), kMatchNone);
}

TEST(Matcher, EmptyStoreNeverMatches) {
  QorvStringDict dict;
  char out[8];
  EXPECT_EQ(dict.MatchPieceA("", out, sizeof(out)), kMatchNone);
  EXPECT_EQ(dict.MatchPieceA("A", out, sizeof(out)), kMatchNone);
}

TEST(Matcher, BlanksInsideAKeyAreSkippedAndTrailingBlanksNeverCount) {
  QorvStringDict dict;
  dict.AddRecordA("AB CD", "\xB0\xA1\xB0\xA2\xB0\xA3", "");
  char out[16];
  EXPECT_EQ(dict.MatchPieceA("AB", out, sizeof(out)), kMatchShare);
  EXPECT_EQ(std::string(out), "\xB0\xA1");
  EXPECT_EQ(dict.MatchPieceA("CD", out, sizeof(out)), kMatchComplete);
  EXPECT_EQ(std::string(out), "\xB0\xA2\xB0\xA3");

  // "AB" and two blanks, loaded as stored (an add would trim them).
  QorvStringDict padded;
  ASSERT_EQ(padded.LoadFromTXTStringA(test::DictText({{"AB  ", "\xB0\xA1\xB0\xA2", ""}}).c_str()), 1u);
  EXPECT_EQ(padded.MatchPieceA("AB", out, sizeof(out)), kMatchShare);
  EXPECT_EQ(std::string(out), "\xB0\xA1");
  // The key is used up: the next piece starts afresh and finds no key.
  EXPECT_EQ(padded.MatchPieceA("", out, sizeof(out)), kMatchShare);
  EXPECT_EQ(padded.engCursor(), padded.records()[0].ENG);
  EXPECT_EQ(padded.records()[0].ENGLength, 4u);
}

TEST(Matcher, SharesFollowGbkCharactersAndStopAtTheEndOfChi) {
  QorvStringDict dict;
  // A one-byte character, a double-byte one, then a lead byte without trail.
  dict.AddRecordA("abcdef", "x\xB0\xA1\x81", "");
  char out[16];
  EXPECT_EQ(dict.MatchPieceA("a", out, sizeof(out)), kMatchShare);
  EXPECT_EQ(std::string(out), "x");
  EXPECT_EQ(dict.MatchPieceA("b", out, sizeof(out)), kMatchShare);
  EXPECT_EQ(std::string(out), "\xB0\xA1");
  EXPECT_EQ(dict.MatchPieceA("cd", out, sizeof(out)), kMatchShare);
  EXPECT_EQ(std::string(out), "\x81");
  EXPECT_EQ(dict.MatchPieceA("e", out, sizeof(out)), kMatchShare);
  EXPECT_EQ(std::string(out), "");
  EXPECT_EQ(dict.MatchPieceA("f", out, sizeof(out)), kMatchComplete);
}

}  // namespace
}  // namespace qzf
