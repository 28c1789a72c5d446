#include "fontpatch/font_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fontpatch/zeroed_block.h"

namespace qzf {
namespace {

TEST(SizeModeTest, EachModeSelectsItsSize) {
  const std::uint32_t sizes[] = {20, 24, 64};
  for (GlyphSizeMode mode = 1; mode <= 3; ++mode) {
    const GlyphSizeInfo* size = LookUpSizeMode(mode);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->mode, mode);
    EXPECT_EQ(size->cellSize, sizes[mode - 1]);
    EXPECT_EQ(size->fontHeight, static_cast<std::int32_t>(size->cellSize));
    EXPECT_EQ(size->bytesPerCell, size->cellSize * size->bytesPerRow);
  }
}

TEST(SizeModeTest, OtherModesAreInvalid) {
  for (GlyphSizeMode mode : {0, 4, -1, 20, 0x7FFFFFFF}) EXPECT_EQ(LookUpSizeMode(mode), nullptr) << mode;
}

// The stock file and altered copies of it are tested in tests/data.
TEST(AcceptanceTest, TheWholeCountFieldIsCompared) {
  std::vector<unsigned char> image(kFontFileLength, 0);
  image[0] = 0x98;
  image[1] = 0x1E;
  EXPECT_TRUE(IsAcceptedFontImage(image.data(), kFontFileLength));
  image[3] = 0x01;
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

TEST(FontImageTest, PrepareForReadReusesARoomyBlockAndZeroesTheExtraBytes) {
  FontImage image;
  ASSERT_TRUE(image.PrepareForRead(1000));
  EXPECT_EQ(image.length(), 1000u);
  for (int i = 0; i < 1004; ++i) ASSERT_EQ(image.data()[i], 0) << i;
  std::memset(image.data(), 0xAB, 1004);
  const unsigned char* block = image.data();

  ASSERT_TRUE(image.PrepareForRead(600));  // smaller: the same block
  EXPECT_EQ(image.data(), block);
  EXPECT_EQ(image.length(), 600u);
  EXPECT_EQ(image.bytes().size(), 600u);
  for (int i = 600; i < 604; ++i) EXPECT_EQ(image.data()[i], 0) << i;
  EXPECT_EQ(image.data()[599], 0xAB);  // left for the read to cover

  ASSERT_TRUE(image.PrepareForRead(1000));  // back to the block's full size
  EXPECT_EQ(image.data(), block);
  for (int i = 1000; i < 1004; ++i) EXPECT_EQ(image.data()[i], 0) << i;

  ASSERT_TRUE(image.PrepareForRead(1001));  // one byte more: a fresh zero block
  EXPECT_EQ(image.length(), 1001u);
  for (int i = 0; i < 1005; ++i) ASSERT_EQ(image.data()[i], 0) << i;
}

TEST(ZeroedBlockTest, LargeAndSmallBlocksAreZeroWritableAndMoveWhole) {
  for (const std::size_t size : {std::size_t{1}, std::size_t{4096}, std::size_t{kFontFileLength + 4}}) {
    ZeroedBlock block;
    ASSERT_TRUE(block.Allocate(size));
    const unsigned char* data = block.data();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(block.size(), size);
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < size; ++i) nonZero += data[i] != 0;
    EXPECT_EQ(nonZero, 0u) << size;
    block.data()[0] = 1;
    block.data()[size - 1] = 2;

    ZeroedBlock moved(std::move(block));
    EXPECT_EQ(block.data(), nullptr);  // NOLINT(bugprone-use-after-move): moved-from state is specified
    EXPECT_EQ(moved.data(), data);
    EXPECT_EQ(moved.size(), size);
    ZeroedBlock assigned;
    ASSERT_TRUE(assigned.Allocate(16));
    assigned = std::move(moved);
    EXPECT_EQ(assigned.data(), data);
    EXPECT_EQ(assigned.data()[size - 1], 2);
    assigned.Release();
    EXPECT_EQ(assigned.data(), nullptr);
    EXPECT_EQ(assigned.size(), 0u);
  }
}

}  // namespace
}  // namespace qzf
