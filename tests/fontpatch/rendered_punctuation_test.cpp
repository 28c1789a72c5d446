// Drawn cells of the full-width marks are moved by the punctuation setting;
// every other character's cell is packed as it was drawn.
#include <gtest/gtest.h>

#include <vector>

#include "fontpatch/punctuation_placement.h"
#include "fontpatch/rendered_cells.h"

namespace qzf {
namespace {

constexpr std::uint16_t kFullStop = 0xA1A3;  // 。
constexpr std::uint16_t kZhong = 0xD6D0;     // 中

// A 4x4 block of level 9, its box's left edge at the origin, its top 4 rows above the baseline.
struct Block {
  std::vector<unsigned char> bytes = std::vector<unsigned char>(4 * 4, 9);
  RenderedGlyph Glyph() const { return RenderedGlyph{0, false, GlyphBitmap{4, 4, 1, 4, bytes}}; }
};

std::vector<std::uint8_t> Levels(std::span<const unsigned char> cell) {
  std::vector<std::uint8_t> levels;
  for (const unsigned char byte : cell) {
    levels.push_back(byte & 0x0F);
    levels.push_back(byte >> 4);
  }
  return levels;
}

TEST(RenderedPunctuationTest, OnlyTheMarksMoveAndTheirInkStaysWhole) {
  const GlyphSizeInfo& size = SizeModeTable[0];  // 20 px
  const CellPlacement placement{16, 0};
  const Block block;
  for (const PunctuationPlacement placement_ :
       {PunctuationPlacement::kDesign, PunctuationPlacement::kMainland, PunctuationPlacement::kCentred}) {
    RenderedCells cells;
    ASSERT_TRUE(cells.Prepare(size, {kFullStop, kZhong}, placement_));
    cells.Store(0, block.Glyph(), placement);
    cells.Store(1, block.Glyph(), placement);
    const auto stop = Levels(cells.Find(kFullStop)->bytes);
    const auto zhong = Levels(cells.Find(kZhong)->bytes);
    // The character that is no mark: where the glyph put it, rows 12..15, columns 0..3.
    const auto drawn = FindInkBox(zhong, size.cellSize);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(*drawn, (InkBox{0, 12, 4, 16}));
    const auto moved = FindInkBox(stop, size.cellSize);
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, PlaceInkBox(placement_, *drawn, size.cellSize, placement.baselineRow));
    int ink = 0;
    for (const std::uint8_t level : stop) ink += level;
    EXPECT_EQ(ink, 16 * 9);
  }
}

TEST(RenderedPunctuationTest, CentredMovesTheMarkToTheMiddle) {
  const GlyphSizeInfo& size = SizeModeTable[1];  // 24 px
  RenderedCells cells;
  ASSERT_TRUE(cells.Prepare(size, {kFullStop}, PunctuationPlacement::kCentred));
  const Block block;
  cells.Store(0, block.Glyph(), CellPlacement{19, 0});
  const auto box = FindInkBox(Levels(cells.Find(kFullStop)->bytes), size.cellSize);
  ASSERT_TRUE(box);
  EXPECT_EQ(*box, (InkBox{10, 10, 14, 14}));
}

}  // namespace
}  // namespace qzf
