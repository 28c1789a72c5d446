#include "platform/cp936_table.h"

#include <gtest/gtest.h>

namespace qzf {
namespace {

// Expected values are Windows' own conversions of code page 936.
TEST(Cp936TableTest, ConvertsAsWindowsDoes) {
  EXPECT_EQ(Cp936ToUnicode(0xB9FA), u'\u56FD');  // 国
  EXPECT_EQ(Cp936ToUnicode(0xA1A4), u'\u00B7');
  EXPECT_EQ(Cp936ToUnicode(0xA1AA), u'\u2014');
  EXPECT_EQ(Cp936ToUnicode(0x8140), u'\u4E02');
  EXPECT_EQ(Cp936ToUnicode('A'), u'A');
  EXPECT_EQ(Cp936ToUnicode(0x80), u'\u20AC');
  EXPECT_EQ(Cp936ToUnicode(0xFF), u'\uF8F5');
}

TEST(Cp936TableTest, UserDefinedAndUnassignedCodesGoToThePrivateUseArea) {
  EXPECT_EQ(Cp936ToUnicode(0xAAA1), u'\uE000');
  EXPECT_EQ(Cp936ToUnicode(0xAFFE), u'\uE233');
  EXPECT_EQ(Cp936ToUnicode(0xF8A1), u'\uE234');
  EXPECT_EQ(Cp936ToUnicode(0xFEFE), u'\uE4C5');
  EXPECT_EQ(Cp936ToUnicode(0xA140), u'\uE4C6');
  EXPECT_EQ(Cp936ToUnicode(0xA180), u'\uE505');  // 0x7F is no trail byte
  EXPECT_EQ(Cp936ToUnicode(0xA7A0), u'\uE765');
  EXPECT_EQ(Cp936ToUnicode(0xA2AB), u'\uE766');
  EXPECT_EQ(Cp936ToUnicode(0xA2E3), u'\uE76C');
}

TEST(Cp936TableTest, MalformedCodesHaveNoCharacter) {
  EXPECT_EQ(Cp936ToUnicode(0x8120), 0);  // trail byte out of range
  EXPECT_EQ(Cp936ToUnicode(0x817F), 0);
  EXPECT_EQ(Cp936ToUnicode(0x81FF), 0);
  EXPECT_EQ(Cp936ToUnicode(0x0081), 0);  // a lead byte alone
  EXPECT_EQ(Cp936ToUnicode(0x10000), 0);
}

}  // namespace
}  // namespace qzf
