#include "preview/utf8_text.h"

#include <gtest/gtest.h>

namespace qzf {
namespace {

TEST(Utf8TextTest, WellFormedTextDecodesAndEncodesBack) {
  const std::string text = "a\xC3\xA9\xE5\x8F\xA4\xF0\x9F\x98\x80";  // a é 古 😀
  const auto decoded = DecodeUtf8(text);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, (std::u32string{U'a', U'é', U'古', U'\U0001F600'}));
  std::string back;
  for (char32_t c : *decoded) back += EncodeUtf8(c);
  EXPECT_EQ(back, text);
  EXPECT_EQ(DecodeUtf8("\xEF\xBB\xBFok"), std::u32string(U"ok"));  // the byte order mark goes
}

TEST(Utf8TextTest, IllFormedTextIsRefused) {
  for (const char* bad : {"\xE9t\xE9",                // Latin-1
                          "\xC0\x80",                 // overlong NUL
                          "\xE0\x80\xAF",             // overlong '/'
                          "\xED\xA0\x80",             // a surrogate
                          "\xF4\x90\x80\x80",         // past U+10FFFF
                          "\xE5\x8F",                 // cut short
                          "\x80",                     // a lone continuation byte
                          "\xF8\x88\x80\x80\x80"}) {  // five bytes
    EXPECT_FALSE(DecodeUtf8(bad)) << bad;
  }
}

}  // namespace
}  // namespace qzf
