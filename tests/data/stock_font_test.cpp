// The generated stand-in for the game's font file holds every fact the tool
// relies on about the game's own file.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <vector>

#include "fontpatch/font_format.h"
#include "tests/data/grey_image.h"
#include "tests/data/stock_files.h"
#ifndef _WIN32
#include "tests/data/reference_glyph.h"
#endif

namespace qzf {
namespace {

std::span<const unsigned char> Cell(const GlyphSizeInfo& size, std::uint32_t i) {
  return std::span(test::GeneratedFont()).subspan(CellOffset(size, i), size.bytesPerCell);
}

std::span<const unsigned char> UnindexedCell(const GlyphSizeInfo& size, std::uint32_t i) {
  return std::span(test::GeneratedFont()).subspan(UnindexedCellOffset(size, i), size.bytesPerCell);
}

bool AllZero(std::span<const unsigned char> bytes) {
  for (unsigned char b : bytes) {
    if (b != 0) return false;
  }
  return true;
}

TEST(StockFontTest, IsAcceptedAndHasExactlyTheGameFilesLength) {
  const auto& font = test::GeneratedFont();
  ASSERT_EQ(font.size(), 20113468u);
  EXPECT_EQ(ReadGlyphCount(font.data()), 7832u);
  EXPECT_TRUE(IsAcceptedFontImage(font.data(), font.size()));
}

TEST(StockFontTest, AlteredCopiesAreRefusedAndALongerOneAccepted) {
  std::vector<unsigned char> copy = test::GeneratedFont();
  EXPECT_FALSE(IsAcceptedFontImage(copy.data(), copy.size() - 1));
  copy[0] = 0x97;  // 7831
  EXPECT_FALSE(IsAcceptedFontImage(copy.data(), copy.size()));
  copy[0] = 0x99;  // 7833
  EXPECT_FALSE(IsAcceptedFontImage(copy.data(), copy.size()));
  copy[0] = 0x98;
  copy.insert(copy.end(), {1, 2, 3, 4, 5});
  EXPECT_TRUE(IsAcceptedFontImage(copy.data(), copy.size()));
}

TEST(StockFontTest, CodeTableHoldsTheGamesCodesAtTheKnownPositions) {
  const unsigned char* font = test::GeneratedFont().data();
  EXPECT_EQ(font[4], 0x40);
  EXPECT_EQ(font[5], 0x81);
  const CodeKey key = CodeKeyAt(font, 0);
  EXPECT_EQ(static_cast<unsigned char>(key[0]), 0x81);
  EXPECT_EQ(static_cast<unsigned char>(key[1]), 0x40);
  EXPECT_EQ(key[2], '\0');
  EXPECT_EQ(CodeAt(font, 0), 0x8140);
  EXPECT_EQ(CodeAt(font, 13), 0x814D);
  EXPECT_EQ(CodeAt(font, 210), 0x82A0);
  EXPECT_EQ(CodeAt(font, 439), 0x814D);
  EXPECT_EQ(CodeAt(font, 571), 0x8770);
  EXPECT_EQ(CodeAt(font, 594), 0x8790);
  EXPECT_EQ(CodeAt(font, 7831), 0xFC4B);
}

TEST(StockFontTest, CodesHaveShiftJisShapeAndAscendExceptAtPosition439) {
  const unsigned char* font = test::GeneratedFont().data();
  const std::set<unsigned> highBytes{0x81, 0x82, 0x83, 0x84, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E,
                                     0x8F, 0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A,
                                     0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6,
                                     0xE7, 0xE8, 0xE9, 0xEA, 0xED, 0xEE, 0xF0, 0xF1, 0xFA, 0xFB, 0xFC};
  std::set<std::uint16_t> distinct;
  std::vector<std::uint32_t> descents;
  for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
    const std::uint16_t code = CodeAt(font, i);
    const unsigned low = code & 0xFF;
    EXPECT_EQ(highBytes.count(code >> 8), 1u) << std::hex << code;
    EXPECT_TRUE(low >= 0x40 && low <= 0xFC && low != 0x7F) << std::hex << code;
    distinct.insert(code);
    if (i > 0 && code <= CodeAt(font, i - 1)) descents.push_back(i);
  }
  EXPECT_EQ(distinct.size(), 7831u);
  EXPECT_EQ(descents, std::vector<std::uint32_t>{439});
  EXPECT_LT(CodeAt(font, 440), CodeAt(font, 441));
  EXPECT_GT(CodeAt(font, 440), CodeAt(font, 438));
}

TEST(StockFontTest, OnlyCells0And571And594AreBlankInEachTable) {
  for (const GlyphSizeInfo& size : SizeModeTable) {
    std::vector<std::uint32_t> blank;
    for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
      if (AllZero(Cell(size, i))) blank.push_back(i);
    }
    EXPECT_EQ(blank, (std::vector<std::uint32_t>{0, 571, 594})) << "size " << size.cellSize;
  }
}

TEST(StockFontTest, UnindexedCellsShowUpToFourImagesInReadingOrder) {
  for (const GlyphSizeInfo& size : SizeModeTable) {
    const int s = static_cast<int>(size.cellSize);
    for (std::uint32_t i = 0; i < kUnindexedCellCount; ++i) {
      const test::GreyImage cell = test::DecodeCell(UnindexedCell(size, i), s);
      // Quadrants in reading order: top left, top right, bottom left, bottom right.
      std::vector<bool> inked;
      for (int q = 0; q < 4; ++q) {
        bool ink = false;
        for (int y = (q / 2) * s / 2; y < (q / 2 + 1) * s / 2; ++y) {
          for (int x = (q % 2) * s / 2; x < (q % 2 + 1) * s / 2; ++x) ink = ink || cell.at(x, y) != 0;
        }
        inked.push_back(ink);
      }
      EXPECT_TRUE(inked[0]) << "size " << s << " cell " << i << " is blank";
      EXPECT_TRUE(std::is_partitioned(inked.begin(), inked.end(), [](bool b) { return b; }))
          << "size " << s << " cell " << i;
    }
  }
}

TEST(StockFontTest, Cell210At24PixelsIsAHiraganaAWithTheLowNibbleOnTheLeft) {
  const GlyphSizeInfo& s24 = *LookUpSizeMode(2);
  const test::GreyImage glyph = test::DecodeCell(Cell(s24, 210), 24);
  const test::GreyImage swapped = test::DecodeCell(Cell(s24, 210), 24, false);
  // Strokes of full ink with grey edges on a clean background.
  std::set<int> levels(glyph.levels.begin(), glyph.levels.end());
  EXPECT_EQ(levels.count(15), 1u);
  EXPECT_GE(levels.size(), 8u);
  for (int x = 0; x < 24; ++x) EXPECT_EQ(glyph.at(x, 0), 0) << x;
  // The other nibble order breaks the strokes into a zigzag.
  EXPECT_GT(test::HorizontalRoughness(swapped) * 4, test::HorizontalRoughness(glyph) * 5);
#ifndef _WIN32
  const auto reference = test::RenderReferenceGlyph(U'\u3042', 24);
  ASSERT_TRUE(reference.has_value()) << "IPAGothic is not installed";
  EXPECT_GT(test::InkCorrelation(glyph, *reference), 0.85);
  EXPECT_LT(test::InkCorrelation(swapped, *reference), test::InkCorrelation(glyph, *reference) - 0.1);
  // And it is not some other kana: い, う and お look different.
  for (char32_t other : {U'\u3044', U'\u3046', U'\u304A'}) {
    const auto image = test::RenderReferenceGlyph(other, 24);
    ASSERT_TRUE(image.has_value());
    EXPECT_LT(test::InkCorrelation(glyph, *image), test::InkCorrelation(glyph, *reference) - 0.1);
  }
#endif
}

TEST(StockFontTest, EveryLargeCellIsSmoothestWithTheLowNibbleOnTheLeft) {
  const GlyphSizeInfo& s64 = *LookUpSizeMode(3);
  long right = 0;
  long wrong = 0;
  for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
    const long r = test::HorizontalRoughness(test::DecodeCell(Cell(s64, i), 64));
    const long w = test::HorizontalRoughness(test::DecodeCell(Cell(s64, i), 64, false));
    EXPECT_LE(r, w) << "cell " << i;
    right += r;
    wrong += w;
  }
  EXPECT_GT(wrong * 2, right * 3);
}

TEST(StockFontTest, TheLast64PixelCellEndsAtTheLastByte) {
  const GlyphSizeInfo& s64 = *LookUpSizeMode(3);
  EXPECT_EQ(CellOffset(s64, kIndexedGlyphCount - 1) + s64.bytesPerCell, test::GeneratedFont().size());
  EXPECT_FALSE(AllZero(Cell(s64, kIndexedGlyphCount - 1)));
}

}  // namespace
}  // namespace qzf
