#include "studio/glyph_images.h"

#include <gtest/gtest.h>

#include "fontpatch/cell_image.h"

namespace qzf::studio {
namespace {

TEST(GlyphImagesTest, NamesAreAsciiAndMadeFromTheKeyAlone) {
  EXPECT_EQ(GlyphImageName("永", 20), "glyphs/u6c38-20.png");
  EXPECT_EQ(GlyphImageName("。", 64), "glyphs/u3002-64.png");
  EXPECT_EQ(GlyphImageName("0x8142", 24), "glyphs/0x8142-24.png");
  EXPECT_EQ(GlyphImageName("0xABCD", 24), "glyphs/0xabcd-24.png");
  EXPECT_EQ(GlyphImageName("/", 20), "glyphs/u002f-20.png");  // never a separator
  EXPECT_EQ(GlyphImageName("古今", 20), "");
  EXPECT_EQ(GlyphImageName("../x", 20), "");
  EXPECT_EQ(GlyphImageName("", 20), "");
}

TEST(GlyphImagesTest, OnlyRelativePicturePathsInsideTheFolderAreRead) {
  struct Case {
    const char* path;
    bool accepted;
  };
  const Case cases[] = {
      {"glyphs/u6c38-20.png", true},
      {"glyphs/囧-{size}.png", true},
      {"my.PNG", true},
      {"a/b/c.png", true},
      {"", false},
      {"/etc/x.png", false},
      {"../x.png", false},
      {"glyphs/../../x.png", false},
      {"glyphs//x.png", false},
      {"glyphs\\x.png", false},
      {"C:/x.png", false},
      {"C:x.png", false},
      {"glyphs/x.txt", false},
      {"glyphs/CON.png", false},
      {"glyphs/x.png ", false},
      {"glyphs/\x01.png", false},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckImagePath(c.path).empty(), c.accepted) << c.path;
}

TEST(GlyphImagesTest, LevelsStoredAsAPictureReadBackTheSame) {
  for (const GlyphSizeInfo& size : SizeModeTable) {
    std::string hex;
    for (std::uint32_t i = 0; i < size.cellSize * size.cellSize; ++i) hex += "0123456789abcdef"[(i * 7) % 16];
    std::string error;
    const auto levels = LevelsFromHex(hex, size, error);
    ASSERT_TRUE(levels) << error;
    const auto png = LevelsPng(*levels, size);
    const CellImageResult back = CellImageLevels(png, size);
    ASSERT_TRUE(back) << back.error;
    EXPECT_EQ(back.levels, *levels) << size.cellSize;
  }
  std::string error;
  EXPECT_FALSE(LevelsFromHex(std::string(399, '0'), SizeModeTable[0], error));
  EXPECT_FALSE(LevelsFromHex(std::string(399, '0') + "F", SizeModeTable[0], error));  // lower case only
  EXPECT_FALSE(LevelsFromHex(std::string(576, '0'), SizeModeTable[0], error));
}

}  // namespace
}  // namespace qzf::studio
