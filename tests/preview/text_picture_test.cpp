#include "preview/text_picture.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "preview/picture_colours.h"
#include "tests/fontpatch/scripted_glyphs.h"

namespace qzf {
namespace {

// Every cell a pattern of its own: level (position + x + 2y) mod 16.
class PatternCells final : public CellSource {
 public:
  std::optional<std::uint32_t> PositionOf(std::uint16_t code) const override { return code; }
  void Levels(const GlyphSizeInfo& size, std::uint32_t position, std::span<std::uint8_t> out) const override {
    for (std::uint32_t y = 0; y < size.cellSize; ++y)
      for (std::uint32_t x = 0; x < size.cellSize; ++x)
        out[y * size.cellSize + x] = static_cast<std::uint8_t>((position + x + 2 * y) % 16);
  }
};

Rgb PixelAt(const RgbPicture& picture, std::uint32_t x, std::uint32_t y) {
  const std::uint8_t* p = &picture.rgb[(std::size_t{y} * picture.width + x) * 3];
  return {p[0], p[1], p[2]};
}

// Two lines: a cell, a gap, a cell; then a box where no cell draws.
TextLayout TwoLines() {
  TextLayout layout;
  layout.rows = 2;
  layout.columns = 3;
  layout.placed = {{0, 0, 5}, {0, 2, 9}, {1, 1, std::nullopt}};
  return layout;
}

class TextPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { test::Script() = test::GlyphScript{}; }
  PatternCells cells;
};

// Each cell pixel becomes scale x scale picture pixels of its level's colour,
// at the block's origin plus (column, row) cells; gaps stay the band; a box
// is framed in its own colour with the band inside. Blocks stand one below
// the other.
TEST_F(TextPictureTest, CellsLandPixelForPixelWhereTheLayoutPutsThem) {
  const TextLayout layout = TwoLines();
  const std::vector<TextBlock> blocks = {{"", &cells, &layout, &SizeModeTable[0], 2},
                                         {"", &cells, &layout, &SizeModeTable[1], 1},
                                         {"", &cells, &layout, &SizeModeTable[2], 3}};
  const TextPicture drawn = DrawTextPicture(blocks, &test::ScriptedOps());
  ASSERT_EQ(drawn.origins.size(), blocks.size());
  ASSERT_EQ(drawn.picture.rgb.size(), std::size_t{drawn.picture.width} * drawn.picture.height * 3);
  std::uint32_t below = 0;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    SCOPED_TRACE(b);
    const std::uint32_t s = blocks[b].size->cellSize, scale = blocks[b].scale, pitch = s * scale;
    const CellGridOrigin o = drawn.origins[b];
    EXPECT_GE(o.y, below);
    below = o.y + layout.rows * pitch;
    ASSERT_LE(o.x + layout.columns * pitch, drawn.picture.width);
    ASSERT_LE(below, drawn.picture.height);
    // The band runs around the cells.
    EXPECT_EQ(PixelAt(drawn.picture, o.x - 1, o.y - 1), kPreviewBand);
    EXPECT_EQ(PixelAt(drawn.picture, o.x + layout.columns * pitch, below), kPreviewBand);
    for (const auto& [row, column, position] : layout.placed) {
      if (!position) continue;
      for (std::uint32_t y = 0; y < pitch; ++y)
        for (std::uint32_t x = 0; x < pitch; ++x)
          ASSERT_EQ(PixelAt(drawn.picture, o.x + column * pitch + x, o.y + row * pitch + y),
                    LevelColour((*position + x / scale + 2 * (y / scale)) % 16))
              << "cell " << *position << " at " << x << "," << y;
    }
    for (std::uint32_t y = 0; y < pitch; ++y)
      for (std::uint32_t x = 0; x < pitch; ++x)
        ASSERT_EQ(PixelAt(drawn.picture, o.x + pitch + x, o.y + y), kPreviewBand) << "gap at " << x << "," << y;
    const std::uint32_t inset = pitch / 8, boxX = o.x + pitch, boxY = o.y + pitch;
    EXPECT_EQ(PixelAt(drawn.picture, boxX + inset, boxY + inset), kMissingBoxInk);
    EXPECT_EQ(PixelAt(drawn.picture, boxX + pitch - inset - 1, boxY + pitch - inset - 1), kMissingBoxInk);
    EXPECT_EQ(PixelAt(drawn.picture, boxX + inset - 1, boxY + inset), kPreviewBand);
    EXPECT_EQ(PixelAt(drawn.picture, boxX + pitch / 2, boxY + pitch / 2), kPreviewBand);
  }
}

// A picture over the limit keeps its size, for the message, and gets no
// pixels; one just under it is drawn.
TEST_F(TextPictureTest, APictureOverTheLimitHasASizeButNoPixels) {
  TextLayout wide;
  wide.rows = 10;
  wide.columns = 4000;
  wide.placed = {{0, 3999, 1}};
  const std::vector<TextBlock> huge = {{"", &cells, &wide, &SizeModeTable[2], 1}};
  const TextPicture over = DrawTextPicture(huge, &test::ScriptedOps());
  EXPECT_GT(std::uint64_t{over.picture.width} * over.picture.height, kMaxTextPicturePixels);
  EXPECT_GE(over.picture.width, 4000u * 64u);
  EXPECT_TRUE(over.picture.rgb.empty());
  EXPECT_TRUE(over.origins.empty());

  wide.rows = 1;
  wide.columns = 1000;
  wide.placed = {{0, 999, 1}};
  const TextPicture under = DrawTextPicture(huge, &test::ScriptedOps());
  EXPECT_EQ(under.picture.rgb.size(), std::size_t{under.picture.width} * under.picture.height * 3);
  ASSERT_EQ(under.origins.size(), 1u);
  EXPECT_EQ(PixelAt(under.picture, under.origins[0].x + 999 * 64, under.origins[0].y), LevelColour((1 + 0) % 16));
}

}  // namespace
}  // namespace qzf
