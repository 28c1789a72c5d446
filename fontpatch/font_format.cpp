#include "fontpatch/font_format.h"

#include <cstring>

namespace qzf {

static_assert(kCodeTableOffset + kCodeTableBytes == SizeModeTable[0].unindexedOffset);
static_assert(SizeModeTable[0].tableOffset + kIndexedGlyphCount * SizeModeTable[0].bytesPerCell ==
              SizeModeTable[1].unindexedOffset);
static_assert(SizeModeTable[1].tableOffset + kIndexedGlyphCount * SizeModeTable[1].bytesPerCell ==
              SizeModeTable[2].unindexedOffset);
static_assert(SizeModeTable[2].tableOffset + kIndexedGlyphCount * SizeModeTable[2].bytesPerCell == kFontFileLength);

const GlyphSizeInfo* LookUpSizeMode(GlyphSizeMode mode) {
  for (const GlyphSizeInfo& size : SizeModeTable) {
    if (size.mode == mode) return &size;
  }
  return nullptr;
}

std::uint32_t ReadGlyphCount(const unsigned char* image) {
  return static_cast<std::uint32_t>(image[kCountOffset]) | static_cast<std::uint32_t>(image[kCountOffset + 1]) << 8 |
         static_cast<std::uint32_t>(image[kCountOffset + 2]) << 16 |
         static_cast<std::uint32_t>(image[kCountOffset + 3]) << 24;
}

bool IsAcceptedFontImage(const unsigned char* image, std::uint64_t length) {
  // The length is tested first so that a short image is never read past its end.
  return image != nullptr && length >= kFontFileLength && ReadGlyphCount(image) == kIndexedGlyphCount;
}

std::uint16_t CodeAt(const unsigned char* image, std::uint32_t position) {
  const unsigned char* entry = image + kCodeTableOffset + 2 * static_cast<std::uint64_t>(position);
  return static_cast<std::uint16_t>(entry[0] | entry[1] << 8);
}

CodeKey MakeCodeKey(std::uint16_t code) {
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), '\0', '\0'};
}

CodeKey CodeKeyAt(const unsigned char* image, std::uint32_t position) { return MakeCodeKey(CodeAt(image, position)); }

std::uint64_t CellOffset(const GlyphSizeInfo& size, std::uint32_t cell) {
  return size.tableOffset + static_cast<std::uint64_t>(cell) * size.bytesPerCell;
}

std::uint64_t UnindexedCellOffset(const GlyphSizeInfo& size, std::uint32_t cell) {
  return size.unindexedOffset + static_cast<std::uint64_t>(cell) * size.bytesPerCell;
}

PixelLocation LocatePixel(const GlyphSizeInfo& size, std::uint32_t cell, std::uint32_t x, std::uint32_t y) {
  const std::uint64_t row = static_cast<std::uint64_t>(cell) * size.cellSize + y;
  return {size.tableOffset + row * size.bytesPerRow + x / 2, (x & 1) != 0};
}

std::uint8_t ReadPixel(std::span<const unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell,
                       std::uint32_t x, std::uint32_t y) {
  if (cell >= kIndexedGlyphCount || x >= size.cellSize || y >= size.cellSize) return 0;
  const PixelLocation at = LocatePixel(size, cell, x, y);
  if (at.byteOffset >= image.size()) return 0;
  const unsigned char byte = image[at.byteOffset];
  return static_cast<std::uint8_t>(at.highNibble ? byte >> 4 : byte & 0x0F);
}

bool WritePixel(std::span<unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell, std::uint32_t x,
                std::uint32_t y, std::uint8_t level) {
  if (cell >= kIndexedGlyphCount || x >= size.cellSize || y >= size.cellSize) return false;
  const PixelLocation at = LocatePixel(size, cell, x, y);
  if (at.byteOffset >= image.size()) return false;
  unsigned char& byte = image[at.byteOffset];
  byte = at.highNibble ? static_cast<unsigned char>((byte & 0x0F) | (level & 0x0F) << 4)
                       : static_cast<unsigned char>((byte & 0xF0) | (level & 0x0F));
  return true;
}

bool FontImage::Allocate(std::uint32_t length) {
  length_ = 0;
  if (!block_.Allocate(static_cast<std::size_t>(length) + 4)) return false;
  length_ = length;
  return true;
}

bool FontImage::PrepareForRead(std::uint32_t length) {
  const std::size_t needed = static_cast<std::size_t>(length) + 4;
  if (block_.data() == nullptr || block_.size() < needed) return Allocate(length);
  length_ = length;
  std::memset(block_.data() + length, 0, 4);
  return true;
}

}  // namespace qzf
