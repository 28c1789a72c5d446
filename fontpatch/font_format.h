// Layout of the game font file "F_FONTJ.qzf": a 32-bit glyph count, a table of
// 7832 little-endian game codes, then three blocks of 4-bit grey glyph cells
// (20, 24 and 64 pixels), each block 93 unindexed cells followed by one
// indexed cell per code-table position. Every offset is a constant.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fontpatch/zeroed_block.h"

namespace qzf {

// Selects one glyph size: 1 (20 px), 2 (24 px) or 3 (64 px). Anything else is
// invalid.
using GlyphSizeMode = std::int32_t;

// The constants of one glyph size.
struct GlyphSizeInfo {
  GlyphSizeMode mode;
  std::uint32_t cellSize;         // S: the cell is S x S pixels
  std::uint32_t bytesPerRow;      // S / 2: two pixels per byte
  std::uint32_t bytesPerCell;     // S * S / 2
  std::int32_t fontHeight;        // height asked of the font; equals S
  std::uint32_t tableOffset;      // T: cell 0 of the indexed table
  std::uint32_t unindexedOffset;  // T - 93 cells: the block's first cell
};

inline constexpr std::uint32_t kIndexedGlyphCount = 7832;
inline constexpr std::uint32_t kUnindexedCellCount = 93;
inline constexpr std::uint32_t kCountOffset = 0;
inline constexpr std::uint32_t kCodeTableOffset = 4;
inline constexpr std::uint32_t kCodeTableBytes = kIndexedGlyphCount * 2;
// Length of the game's file; longer files are accepted too.
inline constexpr std::uint32_t kFontFileLength = 20113468;

inline constexpr std::array<GlyphSizeInfo, 3> SizeModeTable{{
    {1, 20, 10, 200, 20, 34268, 15668},
    {2, 24, 12, 288, 24, 1627452, 1600668},
    {3, 64, 32, 2048, 64, 4073532, 3883068},
}};

// The row of SizeModeTable for `mode`, or null when the mode is invalid.
const GlyphSizeInfo* LookUpSizeMode(GlyphSizeMode mode);

// The `count` field of an image of at least 4 bytes.
std::uint32_t ReadGlyphCount(const unsigned char* image);

// The test an image must pass before a rewrite: `count` is 7832 and the image
// holds at least 20,113,468 bytes. Safe on any length, 0 included.
bool IsAcceptedFontImage(const unsigned char* image, std::uint64_t length);

// The game code at code-table position i (stored little-endian). The image
// must hold the code table.
std::uint16_t CodeAt(const unsigned char* image, std::uint32_t position);

// A game code as a dictionary key: high byte, low byte, then two NULs, so
// data() is a two-byte NUL-terminated string.
using CodeKey = std::array<char, 4>;
CodeKey MakeCodeKey(std::uint16_t code);
CodeKey CodeKeyAt(const unsigned char* image, std::uint32_t position);

// File offset of indexed cell `cell` of a size's table.
std::uint64_t CellOffset(const GlyphSizeInfo& size, std::uint32_t cell);
// File offset of unindexed cell `cell` (0 to 92) of a size's block.
std::uint64_t UnindexedCellOffset(const GlyphSizeInfo& size, std::uint32_t cell);

// Where pixel (x, y) of an indexed cell lives: the low nibble holds the left
// (even) pixel of a byte, the high nibble the right (odd) one.
struct PixelLocation {
  std::uint64_t byteOffset;
  bool highNibble;
};
PixelLocation LocatePixel(const GlyphSizeInfo& size, std::uint32_t cell, std::uint32_t x, std::uint32_t y);

// One byte from two horizontally adjacent grey levels (each 0 to 15).
constexpr std::uint8_t PackPixelPair(std::uint8_t left, std::uint8_t right) {
  return static_cast<std::uint8_t>(((right & 0x0F) << 4) | (left & 0x0F));
}

// Grey level (0 to 15) of a pixel of an indexed cell; 0 when it lies outside
// the table or the image.
std::uint8_t ReadPixel(std::span<const unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell,
                       std::uint32_t x, std::uint32_t y);
// Sets one pixel's nibble, leaving its neighbour alone. Returns false, and
// writes nothing, when the pixel lies outside the table or the image.
bool WritePixel(std::span<unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell, std::uint32_t x,
                std::uint32_t y, std::uint8_t level);

// The whole font file in memory while a pass rewrites it: one zero-filled
// block of length() + 4 bytes, the file in its first length() bytes. The four
// extra bytes never go back to disk.
class FontImage {
 public:
  FontImage() = default;

  // Replaces the block by length + 4 zero bytes. False, with the image left
  // empty, when the memory cannot be had.
  bool Allocate(std::uint32_t length);
  // For a block about to be filled whole by a read: keeps the current block
  // when it has room (its old bytes stay until the read covers them), else
  // allocates; the four extra bytes are zero either way. Passes that share
  // one image reuse its pages instead of having fresh ones zeroed each time.
  bool PrepareForRead(std::uint32_t length);
  // The block's pages had now (see ZeroedBlock::Populate).
  void Populate() { block_.Populate(); }

  unsigned char* data() { return block_.data(); }
  const unsigned char* data() const { return block_.data(); }
  std::uint32_t length() const { return length_; }
  // The file's bytes, without the four extra ones.
  std::span<unsigned char> bytes() { return {block_.data(), length_}; }
  std::span<const unsigned char> bytes() const { return {block_.data(), length_}; }

  bool IsAccepted() const { return IsAcceptedFontImage(data(), length_); }

 private:
  // Not a zero-filled vector: fresh pages are zero already, so nothing is
  // written twice, and they come large where the system allows.
  ZeroedBlock block_;
  std::uint32_t length_ = 0;
};

}  // namespace qzf
