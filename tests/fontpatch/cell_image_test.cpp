#include "fontpatch/cell_image.h"

#include <gtest/gtest.h>

#include "preview/png_encoder.h"

namespace qzf {
namespace {

const GlyphSizeInfo& Size(std::uint32_t cellSize) {
  for (const GlyphSizeInfo& s : SizeModeTable) {
    if (s.cellSize == cellSize) return s;
  }
  throw std::logic_error("no such size");
}

DecodedPng Opaque(std::uint32_t width, std::uint32_t height, std::uint8_t grey) {
  DecodedPng picture{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 4, grey)};
  for (std::size_t i = 3; i < picture.rgba.size(); i += 4) picture.rgba[i] = 255;
  return picture;
}

TEST(CellImageTest, PixelsBecomeLevelsByTheDocumentedRule) {
  struct Case {
    std::uint8_t grey, alpha, level;
  };
  const Case cases[] = {
      {255, 255, 0}, {0, 255, 15},  {238, 255, 1}, {17, 255, 14}, {246, 255, 1},  // 9 of ink rounds up to 1
      {247, 255, 0}, {128, 255, 7}, {0, 0, 0},     {255, 0, 0},   {0, 128, 8},    // black at half alpha
      {0, 8, 0},     {0, 9, 1},     {136, 255, 7}, {119, 255, 8},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InkLevel(c.grey, c.alpha), c.level) << int(c.grey) << " alpha " << int(c.alpha);
  }
  // The sheets' greys are the exact levels.
  for (std::uint8_t level = 0; level < 16; ++level) EXPECT_EQ(InkLevel(255 - 17 * level, 255), level);
}

TEST(CellImageTest, GreyAndRgbPngFilesOfEachSizeComeBackAsTheirLevels) {
  for (const GlyphSizeInfo& size : SizeModeTable) {
    const std::uint32_t s = size.cellSize;
    std::vector<std::uint8_t> grey(std::size_t{s} * s), rgb;
    for (std::uint32_t i = 0; i < s * s; ++i) {
      grey[i] = static_cast<std::uint8_t>(255 - 17 * ((i / s + i % s * 3) % 16));
      rgb.insert(rgb.end(), 3, grey[i]);
    }
    for (const auto& [pixels, channels] : {std::pair{grey, 1}, std::pair{rgb, 3}}) {
      const CellImageResult cell = CellImageLevels(EncodePng(pixels, s, s, channels), size);
      ASSERT_TRUE(cell) << cell.error;
      ASSERT_EQ(cell.levels.size(), std::size_t{s} * s);
      for (std::uint32_t i = 0; i < s * s; ++i) ASSERT_EQ(cell.levels[i], (255 - grey[i]) / 17) << s << " px at " << i;
    }
  }
}

TEST(CellImageTest, RefusesOtherSizesColourAndFilesThatAreNotPng) {
  const CellImageResult small = CellImageLevels(EncodePng(std::vector<std::uint8_t>(400, 255), 20, 20, 1), Size(24));
  EXPECT_FALSE(small);
  EXPECT_NE(small.error.find("20x20"), std::string::npos) << small.error;
  EXPECT_NE(small.error.find("exactly 24x24"), std::string::npos) << small.error;
  EXPECT_TRUE(small.levels.empty());
  EXPECT_FALSE(CellImageLevels(Opaque(64, 63, 255), Size(64)));
  EXPECT_FALSE(CellImageLevels(Opaque(21, 20, 255), Size(20)));

  DecodedPng coloured = Opaque(24, 24, 200);
  coloured.rgba[(5 * 24 + 3) * 4 + 2] = 201;  // blue off by one at (3, 5)
  const CellImageResult refused = CellImageLevels(coloured, Size(24));
  EXPECT_FALSE(refused);
  EXPECT_NE(refused.error.find("(3, 5)"), std::string::npos) << refused.error;
  // A fully transparent pixel's colour is no ink and no colour.
  coloured.rgba[(5 * 24 + 3) * 4 + 3] = 0;
  const CellImageResult transparent = CellImageLevels(coloured, Size(24));
  ASSERT_TRUE(transparent) << transparent.error;
  EXPECT_EQ(transparent.levels[5 * 24 + 3], 0);
  EXPECT_EQ(transparent.levels[0], InkLevel(200, 255));

  const std::vector<unsigned char> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '!'};
  EXPECT_NE(CellImageLevels(text, Size(20)).error.find("not a PNG"), std::string::npos);
  std::vector<unsigned char> png = EncodePng(std::vector<std::uint8_t>(400, 0), 20, 20, 1);
  png.resize(png.size() / 2);  // cut short inside its pixel data
  EXPECT_FALSE(CellImageLevels(png, Size(20)));
  EXPECT_FALSE(CellImageLevels(std::span<const unsigned char>(), Size(20)));
}

TEST(CellImageTest, DecodingRefusesAPictureOverItsLimitBeforeReadingIt) {
  const std::vector<unsigned char> png = EncodePng(std::vector<std::uint8_t>(300 * 200, 0), 300, 200, 1);
  EXPECT_TRUE(DecodePng(png, 300 * 200));
  const PngDecodeResult refused = DecodePng(png, 300 * 200 - 1);
  EXPECT_FALSE(refused);
  EXPECT_NE(refused.error.find("300x200"), std::string::npos) << refused.error;
  EXPECT_TRUE(refused.picture.rgba.empty());
}

TEST(CellImageTest, PackedLevelsReadBackThroughTheFileLayout) {
  const GlyphSizeInfo& size = Size(20);
  std::vector<std::uint8_t> levels(400);
  for (std::size_t i = 0; i < levels.size(); ++i) levels[i] = static_cast<std::uint8_t>((i * 7) % 16);
  const std::vector<unsigned char> packed = PackCellLevels(levels, size);
  ASSERT_EQ(packed.size(), size.bytesPerCell);
  std::vector<unsigned char> image(CellOffset(size, 1) + size.bytesPerCell, 0);
  std::copy(packed.begin(), packed.end(), image.begin() + static_cast<std::ptrdiff_t>(CellOffset(size, 1)));
  for (std::uint32_t y = 0; y < 20; ++y) {
    for (std::uint32_t x = 0; x < 20; ++x)
      ASSERT_EQ(ReadPixel(image, size, 1, x, y), levels[y * 20 + x]) << x << "," << y;
  }
}

}  // namespace
}  // namespace qzf
