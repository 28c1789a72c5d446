// The shown texts of the window and its message boxes: GBK bytes must come
// out as the same characters whatever the system's code page.
#include <gtest/gtest.h>

#include <string>

#include "app/show_message_box.h"

#ifdef _WIN32
#include "app/gbk_wide.h"
#endif

namespace {

// "请先选择字体！" and "提示" in GBK.
constexpr char kChooseFirstGbk[] = "\xC7\xEB\xCF\xC8\xD1\xA1\xD4\xF1\xD7\xD6\xCC\xE5\xA3\xA1";
constexpr char kNoticeGbk[] = "\xCC\xE1\xCA\xBE";

#ifdef _WIN32
TEST(GbkWide, ConvertsChineseBothWays) {
  // "宋体", the preview's start-up face.
  const std::string songti = "\xCB\xCE\xCC\xE5";
  EXPECT_EQ(qzf::GbkToWide(songti), std::wstring(L"\u5B8B\u4F53"));
  EXPECT_EQ(qzf::WideToGbk(L"\u5B8B\u4F53"), songti);
  EXPECT_EQ(qzf::GbkToWide(kChooseFirstGbk), std::wstring(L"\u8BF7\u5148\u9009\u62E9\u5B57\u4F53\uFF01"));
  EXPECT_EQ(qzf::WideToGbk(L"Noto Sans CJK SC"), "Noto Sans CJK SC");
}

TEST(GbkWide, EmptyAndUnmappable) {
  EXPECT_EQ(qzf::GbkToWide(""), std::wstring());
  EXPECT_EQ(qzf::WideToGbk(L""), std::string());
  // A character with no GBK form must not vanish silently.
  const std::string out = qzf::WideToGbk(L"a\U0001F600b");
  EXPECT_EQ(out.front(), 'a');
  EXPECT_EQ(out.back(), 'b');
  EXPECT_GT(out.size(), 2u);
}
#else
TEST(ShowMessageBox, WritesCaptionAndTextAsUtf8) {
  testing::internal::CaptureStderr();
  qzf::ShowMessageBox(kChooseFirstGbk, kNoticeGbk);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "\u63D0\u793A: \u8BF7\u5148\u9009\u62E9\u5B57\u4F53\uFF01\n");
}

TEST(ShowMessageBox, PassesInvalidBytesThrough) {
  testing::internal::CaptureStderr();
  qzf::ShowMessageBox("ok\xFF", "x");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "x: ok\xFF\n");
}
#endif

}  // namespace
