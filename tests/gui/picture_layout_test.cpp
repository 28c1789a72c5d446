// The main window's layout in the background picture: the dialog template's
// geometry as the program reads it, and dialog units mapped to the picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/dialog_template_layout.h"
#include "app/picture_layout.h"
#include "platform/win32.h"
#include "resources/resource_ids.h"

namespace {

std::vector<std::uint8_t> TemplateBytes() {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (found == nullptr) return {};
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
  return std::vector<std::uint8_t>(data, data + SizeofResource(nullptr, found));
}

TEST(DialogTemplateLayout, ReadsTheMainWindowInTemplateOrder) {
  const auto layout = qzf::LoadDialogTemplateLayout(GetModuleHandleW(nullptr), IDD_MAIN_DIALOG);
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->cx, 682);
  EXPECT_EQ(layout->cy, 470);
  struct Expected {
    int id, x, y, cx, cy;
  };
  const Expected expected[] = {
      {IDC_CHOOSE_FONT, 579, 173, 81, 26},    {IDC_PREVIEW_LINE1, 185, 356, 413, 16}, {IDC_SAVE_FONT, 579, 215, 81, 26},
      {IDC_PREVIEW_LINE3, 185, 396, 413, 16}, {IDC_PREVIEW_LINE2, 185, 376, 413, 16},
  };
  ASSERT_EQ(layout->controls.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const qzf::TemplateControl& got = layout->controls[i];
    EXPECT_EQ(got.id, expected[i].id);
    EXPECT_EQ(got.rect.x, expected[i].x);
    EXPECT_EQ(got.rect.y, expected[i].y);
    EXPECT_EQ(got.rect.cx, expected[i].cx);
    EXPECT_EQ(got.rect.cy, expected[i].cy);
  }
}

TEST(DialogTemplateLayout, RefusesTemplatesThatEndEarlyOrAreNotExtended) {
  const std::vector<std::uint8_t> bytes = TemplateBytes();
  ASSERT_FALSE(bytes.empty());
  // Every cut ends inside some field the reading needs.
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_FALSE(qzf::ParseDialogTemplateLayout(bytes.data(), size).has_value()) << size;
  }
  std::vector<std::uint8_t> plain = bytes;
  plain[2] = 0;  // the signature of an extended template is 0xFFFF
  EXPECT_FALSE(qzf::ParseDialogTemplateLayout(plain.data(), plain.size()).has_value());
}

TEST(PictureLayout, DialogUnitsSpanThePicture) {
  struct Case {
    qzf::DialogUnitRect in;
    SIZE templateSize, pictureSize;
    RECT out;
  };
  const Case cases[] = {
      // The whole template is the whole picture.
      {{0, 0, 682, 470}, {682, 470}, {1024, 768}, {0, 0, 1024, 768}},
      // "选择字体": 579 * 1024 / 682 = 869.4, 173 * 768 / 470 = 282.7, 81 -> 121.6, 26 -> 42.5.
      {{579, 173, 81, 26}, {682, 470}, {1024, 768}, {869, 283, 991, 325}},
      // The first preview line: 356 * 768 / 470 = 581.7, 16 -> 26.1.
      {{185, 356, 413, 16}, {682, 470}, {1024, 768}, {278, 582, 898, 608}},
      // Across and down scale on their own.
      {{10, 10, 20, 20}, {100, 50}, {300, 100}, {30, 20, 90, 60}},
  };
  for (const Case& c : cases) {
    const RECT got = qzf::MapToPicture(c.in, c.templateSize, c.pictureSize);
    EXPECT_EQ(got.left, c.out.left) << c.in.x;
    EXPECT_EQ(got.top, c.out.top) << c.in.y;
    EXPECT_EQ(got.right, c.out.right) << c.in.x;
    EXPECT_EQ(got.bottom, c.out.bottom) << c.in.y;
  }
}

}  // namespace
