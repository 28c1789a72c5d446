#include "dict/trim_spaces.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qzf {
namespace {

TEST(TrimSpaces, ModeZeroSkipsLeadingAndCutsTrailingInPlace) {
  char s[] = "  ab  ";
  std::uint32_t length = 99;
  char* r = TrimSpaces(s, 0, &length);
  EXPECT_EQ(r, s + 2);
  EXPECT_EQ(length, 2u);
  EXPECT_STREQ(r, "ab");
  EXPECT_EQ(std::memcmp(s, "  ab\0\0", 7), 0);
}

TEST(TrimSpaces, ModeOneMovesTextToTheStart) {
  char s[] = "  ab  ";
  std::uint32_t length = 99;
  EXPECT_EQ(TrimSpaces(s, 1, &length), s);
  EXPECT_EQ(length, 2u);
  EXPECT_STREQ(s, "ab");
}

TEST(TrimSpaces, OtherModesGiveNullButStillCutTrailingBlanks) {
  char s[] = "  ab  ";
  std::uint32_t length = 99;
  EXPECT_EQ(TrimSpaces(s, 2, &length), nullptr);
  EXPECT_EQ(length, 99u);
  EXPECT_EQ(std::string(s), "  ab");
}

TEST(TrimSpaces, EmptyOrAllBlankGivesTheTextWithLengthZeroInEveryMode) {
  for (std::uint32_t mode : {0u, 1u, 2u}) {
    char blanks[] = "   ";
    char empty[] = "";
    std::uint32_t length = 99;
    EXPECT_EQ(TrimSpaces(blanks, mode, &length), blanks);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(blanks[0], '\0');
    length = 99;
    EXPECT_EQ(TrimSpaces(empty, mode, &length), empty);
    EXPECT_EQ(length, 0u);
  }
}

TEST(TrimSpaces, OnlyTheBlankByteIsTrimmedAndLengthIsOptional) {
  char s[] = "\t a\r\n";
  std::uint32_t length = 0;
  EXPECT_EQ(TrimSpaces(s, 0, &length), s);
  EXPECT_EQ(length, 5u);
  char t[] = " x ";
  EXPECT_STREQ(TrimSpaces(t, 0, nullptr), "x");
  std::uint32_t untouched = 7;
  EXPECT_EQ(TrimSpaces(nullptr, 0, &untouched), nullptr);
  EXPECT_EQ(untouched, 7u);
}

}  // namespace
}  // namespace qzf
