#include "studio/glyph_images.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "fontpatch/cell_image.h"
#include "platform/win32.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

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

// A preview reading a drawn cell holds it open for a moment; a stroke stored
// meanwhile waits for it rather than failing (on Windows an open file cannot
// be replaced). Held longer than the patience, the old picture stays whole.
TEST(GlyphImagesTest, APictureBeingReadIsReplacedOnceTheReaderLetsGo) {
  test::ScratchDir dir;
  const std::string path = dir.File("u53e4-20.png");
  test::WriteBytes(path, "old");
  const std::vector<unsigned char> png{'n', 'e', 'w'};
  auto openAsReader = [&] {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
  };
  HANDLE reader = openAsReader();
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
#ifdef _WIN32
  EXPECT_FALSE(StoreGlyphImage(path, png, 50));
  EXPECT_EQ(test::ReadBytes(path), "old");
#endif
  std::thread letGo([reader] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CloseHandle(reader);
  });
  EXPECT_TRUE(StoreGlyphImage(path, png));
  letGo.join();
  EXPECT_EQ(test::ReadBytes(path), "new");
  EXPECT_EQ(test::NamesIn(dir.path()), std::set<std::string>{"u53e4-20.png"});
}

}  // namespace
}  // namespace qzf::studio
