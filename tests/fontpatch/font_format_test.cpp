#include "fontpatch/font_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace qzf {
namespace {

TEST(SizeModeTest, TheThreeModesGiveTheirSizesAndOffsets) {
  const GlyphSizeInfo* s20 = LookUpSizeMode(1);
  const GlyphSizeInfo* s24 = LookUpSizeMode(2);
  const GlyphSizeInfo* s64 = LookUpSizeMode(3);
  ASSERT_NE(s20, nullptr);
  ASSERT_NE(s24, nullptr);
  ASSERT_NE(s64, nullptr);
  EXPECT_EQ(s20->cellSize, 20u);
  EXPECT_EQ(s20->bytesPerRow, 10u);
  EXPECT_EQ(s20->bytesPerCell, 200u);
  EXPECT_EQ(s20->fontHeight, 20);
  EXPECT_EQ(s20->tableOffset, 34268u);
  EXPECT_EQ(s20->unindexedOffset, 15668u);
  EXPECT_EQ(s24->cellSize, 24u);
  EXPECT_EQ(s24->bytesPerCell, 288u);
  EXPECT_EQ(s24->tableOffset, 1627452u);
  EXPECT_EQ(s24->unindexedOffset, 1600668u);
  EXPECT_EQ(s64->cellSize, 64u);
  EXPECT_EQ(s64->bytesPerRow, 32u);
  EXPECT_EQ(s64->bytesPerCell, 2048u);
  EXPECT_EQ(s64->fontHeight, 64);
  EXPECT_EQ(s64->tableOffset, 4073532u);
  EXPECT_EQ(s64->unindexedOffset, 3883068u);
}

TEST(SizeModeTest, OtherModesAreInvalid) {
  for (GlyphSizeMode mode : {0, 4, -1, 20, 0x7FFFFFFF}) EXPECT_EQ(LookUpSizeMode(mode), nullptr) << mode;
}

TEST(SizeModeTest, BlocksFollowOneAnotherAndTheLastEndsTheFile) {
  std::uint64_t expectedStart = kCodeTableOffset + kCodeTableBytes;
  for (const GlyphSizeInfo& size : SizeModeTable) {
    EXPECT_EQ(size.unindexedOffset, expectedStart);
    EXPECT_EQ(UnindexedCellOffset(size, kUnindexedCellCount), size.tableOffset);
    expectedStart = CellOffset(size, kIndexedGlyphCount);
  }
  const GlyphSizeInfo& last = SizeModeTable.back();
  EXPECT_EQ(CellOffset(last, kIndexedGlyphCount - 1) + last.bytesPerCell, 20113468u);
  EXPECT_EQ(kFontFileLength, 20113468u);
}

TEST(AcceptanceTest, WantsTheCountAndTheFullLength) {
  std::vector<unsigned char> image(kFontFileLength + 3, 0);
  image[0] = 0x98;
  image[1] = 0x1E;
  EXPECT_TRUE(IsAcceptedFontImage(image.data(), kFontFileLength));
  EXPECT_TRUE(IsAcceptedFontImage(image.data(), kFontFileLength + 3));
  EXPECT_FALSE(IsAcceptedFontImage(image.data(), kFontFileLength - 1));
  image[0] = 0x97;  // 7831
  EXPECT_FALSE(IsAcceptedFontImage(image.data(), kFontFileLength));
  image[0] = 0x99;  // 7833
  EXPECT_FALSE(IsAcceptedFontImage(image.data(), kFontFileLength));
  image[0] = 0x98;
  image[3] = 0x01;  // a high byte set: not 7832
  EXPECT_FALSE(IsAcceptedFontImage(image.data(), kFontFileLength));
}

TEST(AcceptanceTest, ShortOrMissingImagesAreRefusedWithoutReading) {
  const unsigned char count[4] = {0x98, 0x1E, 0, 0};
  EXPECT_FALSE(IsAcceptedFontImage(count, 4));
  EXPECT_FALSE(IsAcceptedFontImage(count, 0));
  EXPECT_FALSE(IsAcceptedFontImage(nullptr, kFontFileLength));
}

TEST(CodeKeyTest, TheFileIsLittleEndianAndTheKeyHighByteFirst) {
  std::vector<unsigned char> image(kCodeTableOffset + kCodeTableBytes, 0);
  image[4] = 0x40;
  image[5] = 0x81;
  image[4 + 2 * 7831] = 0x4B;
  image[4 + 2 * 7831 + 1] = 0xFC;
  EXPECT_EQ(CodeAt(image.data(), 0), 0x8140);
  EXPECT_EQ(CodeAt(image.data(), 7831), 0xFC4B);
  const CodeKey key = CodeKeyAt(image.data(), 0);
  EXPECT_EQ(static_cast<unsigned char>(key[0]), 0x81);
  EXPECT_EQ(static_cast<unsigned char>(key[1]), 0x40);
  EXPECT_EQ(key[2], '\0');
  EXPECT_EQ(key[3], '\0');
  EXPECT_STREQ(MakeCodeKey(0xFC4B).data(), "\xFC\x4B");
}

TEST(PixelAddressTest, RowsAreHalfACellWideAndTheLowNibbleIsTheLeftPixel) {
  const GlyphSizeInfo& s20 = *LookUpSizeMode(1);
  const PixelLocation left = LocatePixel(s20, 0, 0, 0);
  EXPECT_EQ(left.byteOffset, 34268u);
  EXPECT_FALSE(left.highNibble);
  const PixelLocation right = LocatePixel(s20, 0, 1, 0);
  EXPECT_EQ(right.byteOffset, 34268u);
  EXPECT_TRUE(right.highNibble);
  // Pixel (x, y) of cell i lies at T + (i * S + y) * S / 2 + x / 2.
  const PixelLocation p = LocatePixel(s20, 5, 13, 7);
  EXPECT_EQ(p.byteOffset, 34268u + (5u * 20 + 7) * 10 + 6);
  EXPECT_TRUE(p.highNibble);
  const GlyphSizeInfo& s64 = *LookUpSizeMode(3);
  EXPECT_EQ(LocatePixel(s64, 7831, 63, 63).byteOffset, kFontFileLength - 1u);
  EXPECT_EQ(CellOffset(s64, 210), 4073532u + 210u * 2048);
  EXPECT_EQ(PackPixelPair(3, 12), 0xC3);
}

TEST(PixelAddressTest, WritingAPixelKeepsItsNeighbourAndStaysInItsCell) {
  const GlyphSizeInfo& s24 = *LookUpSizeMode(2);
  std::vector<unsigned char> image(kFontFileLength, 0);
  ASSERT_TRUE(WritePixel(image, s24, 210, 4, 9, 15));
  ASSERT_TRUE(WritePixel(image, s24, 210, 5, 9, 6));
  ASSERT_TRUE(WritePixel(image, s24, 210, 4, 9, 0x1A));  // only the low four bits count
  EXPECT_EQ(image[LocatePixel(s24, 210, 4, 9).byteOffset], 0x6A);
  EXPECT_EQ(ReadPixel(image, s24, 210, 4, 9), 0x0A);
  EXPECT_EQ(ReadPixel(image, s24, 210, 5, 9), 6);
  EXPECT_EQ(ReadPixel(image, s24, 211, 4, 9), 0);

  EXPECT_FALSE(WritePixel(image, s24, 210, 24, 0, 15));
  EXPECT_FALSE(WritePixel(image, s24, 210, 0, 24, 15));
  EXPECT_FALSE(WritePixel(image, s24, 8000, 0, 0, 15));
  EXPECT_EQ(ReadPixel(image, s24, 210, 24, 0), 0);
  std::vector<unsigned char> small(100, 0xFF);
  EXPECT_EQ(ReadPixel(small, s24, 0, 0, 0), 0);
  EXPECT_FALSE(WritePixel(small, s24, 0, 0, 0, 1));
}

TEST(FontImageTest, HoldsTheFileAndFourZeroBytesBeyondIt) {
  FontImage image;
  EXPECT_EQ(image.length(), 0u);
  ASSERT_TRUE(image.Allocate(10));
  EXPECT_EQ(image.length(), 10u);
  EXPECT_EQ(image.bytes().size(), 10u);
  for (int i = 0; i < 14; ++i) EXPECT_EQ(image.data()[i], 0) << i;
  image.data()[0] = 0x98;
  image.data()[1] = 0x1E;
  EXPECT_FALSE(image.IsAccepted());
  ASSERT_TRUE(image.Allocate(kFontFileLength));
  EXPECT_EQ(image.data()[0], 0);  // a fresh block
  image.data()[0] = 0x98;
  image.data()[1] = 0x1E;
  EXPECT_TRUE(image.IsAccepted());
}

}  // namespace
}  // namespace qzf
