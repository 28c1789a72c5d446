#include "dict/compare_key.h"

#include <gtest/gtest.h>

namespace qzf {
namespace {

TEST(CompareKeyA, OrdersBytesUnsignedWithPrefixesFirst) {
  EXPECT_EQ(CompareKeyA("ab", "abc"), kKeyBefore);
  EXPECT_EQ(CompareKeyA("abc", "ab"), kKeyAfter);
  EXPECT_EQ(CompareKeyA("", ""), kKeyEqual);
  EXPECT_EQ(CompareKeyA("abc", "abc"), kKeyEqual);
  EXPECT_EQ(CompareKeyA("", "a"), kKeyBefore);
  // Bytes from 0x80 up sort after every ASCII byte.
  EXPECT_EQ(CompareKeyA("\x81", "z"), kKeyAfter);
  EXPECT_EQ(CompareKeyA("z", "\x81"), kKeyBefore);
  EXPECT_EQ(CompareKeyA("\x81\x40", "\x81\x3F"), kKeyAfter);
  EXPECT_EQ(CompareKeyA("\xFC\x4B", "\xFC\x4B"), kKeyEqual);
  // A blank is an ordinary byte here: keys are trimmed by their callers.
  EXPECT_EQ(CompareKeyA("a ", "a"), kKeyAfter);
}

}  // namespace
}  // namespace qzf
