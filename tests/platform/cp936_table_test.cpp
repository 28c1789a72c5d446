#include "platform/fontengine/cp936_table.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstddef>
#include <set>

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

// The table is built a row at a time; every pair iconv converts on its own
// must come out the same, and the table must be a one-to-one map (2149 codes
// iconv leaves out go to the private use area, none twice).
TEST(Cp936TableTest, EveryDoubleByteCodeMatchesItsOwnConversionAndNoneRepeat) {
  iconv_t cd = iconv_open("UTF-16LE", "CP936");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::set<char16_t> seen;
  int converted = 0, privateUse = 0;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const unsigned code = lead << 8 | trail;
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      unsigned char out[8] = {};
      char* inPtr = in;
      char* outPtr = reinterpret_cast<char*>(out);
      std::size_t inLeft = 2, outLeft = sizeof(out);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      const char16_t unit = Cp936ToUnicode(code);
      if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) && outLeft == 6) {
        ASSERT_EQ(unit, static_cast<char16_t>(out[0] | out[1] << 8)) << std::hex << code;
        ++converted;
      } else {
        ASSERT_TRUE(unit >= 0xE000 && unit <= 0xF8FF) << std::hex << code;
        ++privateUse;
      }
      EXPECT_TRUE(seen.insert(unit).second) << std::hex << code;
    }
  }
  iconv_close(cd);
  EXPECT_EQ(converted + privateUse, 126 * 190);
  EXPECT_EQ(privateUse, 2149);
}

}  // namespace
}  // namespace qzf
