#include "fontpatch/punctuation_placement.h"

#include <gtest/gtest.h>

#include <numeric>

#include "fontpatch/font_format.h"
#include "fontpatch/fullwidth_punctuation.h"
#include "platform/base/codepage.h"
#include "preview/shift_jis.h"

namespace qzf {
namespace {

// An S x S cell with a w x h mark at (left, top); its levels vary so that a
// moved or mirrored copy shows.
std::vector<std::uint8_t> CellWithMark(std::uint32_t s, std::int32_t left, std::int32_t top, std::int32_t w,
                                       std::int32_t h) {
  std::vector<std::uint8_t> cell(std::size_t{s} * s, 0);
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x)
      cell[(top + y) * s + left + x] = static_cast<std::uint8_t>(1 + (x + 3 * y) % 15);
  }
  return cell;
}

TEST(PunctuationPlacementTest, NamesOfTheSetting) {
  for (const auto placement :
       {PunctuationPlacement::kDesign, PunctuationPlacement::kMainland, PunctuationPlacement::kCentred}) {
    EXPECT_EQ(ParsePunctuationPlacement(PunctuationPlacementName(placement)), placement);
  }
  for (const char* bad : {"", "Design", "center", "centered", "mainland ", "taiwan"}) {
    EXPECT_FALSE(ParsePunctuationPlacement(bad)) << bad;
  }
}

TEST(PunctuationPlacementTest, InkBoxOfACell) {
  EXPECT_FALSE(FindInkBox(std::vector<std::uint8_t>(400, 0), 20));
  EXPECT_FALSE(FindInkBox(std::vector<std::uint8_t>(399, 1), 20));  // not a whole cell
  EXPECT_EQ(FindInkBox(CellWithMark(20, 13, 2, 4, 5), 20), (InkBox{13, 2, 17, 7}));
  std::vector<std::uint8_t> corners(576, 0);
  corners[0] = corners[575] = 1;
  EXPECT_EQ(FindInkBox(corners, 24), (InkBox{0, 0, 24, 24}));
}

TEST(PunctuationPlacementTest, EachRuleAtEachSize) {
  struct Case {
    std::uint32_t size;
    std::int32_t baseline;
    PunctuationPlacement placement;
    InkBox from, to;
  };
  using P = PunctuationPlacement;
  const Case cases[] = {
      // A 4 x 4 full stop drawn centred, as a face for Taiwan draws it:
      // moved down onto the baseline and left.
      {20, 17, P::kMainland, {8, 8, 12, 12}, {2, 14, 6, 18}},
      {20, 17, P::kCentred, {8, 8, 12, 12}, {8, 8, 12, 12}},
      {20, 17, P::kDesign, {8, 8, 12, 12}, {8, 8, 12, 12}},
      // Drawn in the lower left, as a face for the mainland draws it: kept
      // there, or centred.
      {24, 21, P::kCentred, {3, 16, 8, 21}, {9, 9, 14, 14}},
      {24, 21, P::kMainland, {3, 16, 8, 21}, {3, 16, 8, 21}},
      // Upper right: both moved.
      {64, 56, P::kMainland, {30, 10, 40, 18}, {6, 49, 16, 57}},
      {64, 56, P::kCentred, {0, 0, 11, 7}, {26, 28, 37, 35}},
      // Lower right: only the column; upper left: only the row.
      {24, 21, P::kMainland, {14, 16, 19, 21}, {2, 16, 7, 21}},
      {24, 21, P::kMainland, {3, 2, 8, 7}, {3, 17, 8, 22}},
      // A tall mark keeps its row, moved left when it stood right.
      {20, 12, P::kMainland, {12, 1, 15, 16}, {2, 1, 5, 16}},
      {20, 12, P::kMainland, {8, 1, 11, 16}, {8, 1, 11, 16}},
      // A baseline below the cell, or too high for the mark: held inside.
      {20, 25, P::kMainland, {12, 1, 15, 6}, {2, 15, 5, 20}},
      {20, 2, P::kMainland, {12, 1, 15, 6}, {2, 0, 5, 5}},
      // A mark as wide as the cell cannot move sideways.
      {24, 21, P::kMainland, {0, 4, 24, 8}, {0, 18, 24, 22}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " px, " + PunctuationPlacementName(c.placement) + ", from (" +
                 std::to_string(c.from.left) + ", " + std::to_string(c.from.top) + ")");
    EXPECT_EQ(PlaceInkBox(c.placement, c.from, c.size, c.baseline), c.to);
    std::vector<std::uint8_t> cell = CellWithMark(c.size, c.from.left, c.from.top, c.from.width(), c.from.height());
    const std::vector<std::uint8_t> before = cell;
    EXPECT_EQ(PlacePunctuation(cell, c.size, c.baseline, c.placement), c.to);
    // The mark itself is moved whole: same levels, same shape, nothing else.
    EXPECT_EQ(cell, CellWithMark(c.size, c.to.left, c.to.top, c.to.width(), c.to.height()));
    EXPECT_EQ(std::accumulate(cell.begin(), cell.end(), 0), std::accumulate(before.begin(), before.end(), 0));
  }
}

TEST(PunctuationPlacementTest, AMarkOfSeveralPartsKeepsItsShapeAndAnEmptyCellStays) {
  // A colon: two dots with a hole between them.
  std::vector<std::uint8_t> colon(576, 0);
  colon[6 * 24 + 12] = 15;
  colon[7 * 24 + 13] = 9;
  colon[15 * 24 + 12] = 15;
  ASSERT_EQ(PlacePunctuation(colon, 24, 21, PunctuationPlacement::kMainland), (InkBox{2, 12, 4, 22}));
  std::vector<std::uint8_t> expected(576, 0);
  expected[12 * 24 + 2] = 15;
  expected[13 * 24 + 3] = 9;
  expected[21 * 24 + 2] = 15;
  EXPECT_EQ(colon, expected);

  std::vector<std::uint8_t> empty(400, 0);
  EXPECT_FALSE(PlacePunctuation(empty, 20, 17, PunctuationPlacement::kCentred));
  EXPECT_EQ(empty, std::vector<std::uint8_t>(400, 0));
}

TEST(PunctuationPlacementTest, TheTableAgreesWithTheCodePages) {
  const ShiftJisEncoder shiftJis;
  for (const FullWidthMark& mark : kFullWidthPunctuation) {
    SCOPED_TRACE(mark.name);
    EXPECT_EQ(GbkCodeToUnicode(mark.gbk), mark.character);
    EXPECT_EQ(shiftJis.Encode(mark.character), mark.gameCode);
    EXPECT_EQ(FindFullWidthMark(mark.gbk), &mark);
  }
  EXPECT_EQ(FindFullWidthMark(0xB0A1), nullptr);  // 啊
  EXPECT_EQ(FindFullWidthMark(0xA1B0), nullptr);  // “ : quotes are not moved
}

}  // namespace
}  // namespace qzf
