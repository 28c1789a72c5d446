#include "fontpatch/glyph_packing.h"

#include <algorithm>
#include <cstring>

namespace qzf {
namespace {

std::uint32_t CountInk(const unsigned char* bytes, std::int64_t count) {
  std::uint32_t ink = 0;
  for (std::int64_t i = 0; i < count; ++i) ink += bytes[i] != 0 ? 1 : 0;
  return ink;
}

}  // namespace

std::uint32_t PackGlyphIntoCell(std::span<unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell,
                                const CellPlacement& placement, const GlyphBitmap& glyph) {
  const std::uint64_t cellOffset = CellOffset(size, cell);
  if (cellOffset + size.bytesPerCell > image.size()) return 0;
  return PackGlyphIntoCellBytes(image.subspan(cellOffset, size.bytesPerCell), size, placement, glyph);
}

std::uint32_t PackGlyphIntoCellBytes(std::span<unsigned char> cell, const GlyphSizeInfo& size,
                                     const CellPlacement& placement, const GlyphBitmap& glyph) {
  const std::int64_t cellSize = size.cellSize;
  const std::int64_t rowBytes = size.bytesPerRow;
  if (cell.size() < size.bytesPerCell) return 0;
  unsigned char* target = cell.data();
  std::memset(target, 0, size.bytesPerCell);

  const std::uint32_t pitch = GlyphRowPitch(glyph.width);
  if (pitch == 0) return 0;
  const std::int64_t rows = std::min<std::int64_t>(glyph.height, glyph.bytes.size() / pitch);
  // Pixel column of the bitmap's first byte: the origin rounded toward zero
  // to a pixel pair, as the division does, then the style's shift.
  const std::int64_t left = glyph.originX / 2 * 2 + placement.shiftX;
  // Bytes of a row that land inside the cell: k in [kBegin, kEnd).
  const std::int64_t kBegin = std::clamp<std::int64_t>(-left, 0, pitch);
  const std::int64_t kEnd = std::clamp<std::int64_t>(cellSize - left, kBegin, pitch);
  // Rows of the bitmap that land inside the cell: j in [jBegin, jEnd).
  const std::int64_t shift = static_cast<std::int64_t>(placement.baselineRow) - glyph.originY;
  const std::int64_t jBegin = std::clamp<std::int64_t>(-shift, 0, rows);
  const std::int64_t jEnd = std::clamp<std::int64_t>(cellSize - shift, jBegin, rows);

  std::uint32_t dropped = CountInk(glyph.bytes.data(), jBegin * pitch);
  dropped += CountInk(glyph.bytes.data() + jEnd * pitch, (rows - jEnd) * pitch);
  for (std::int64_t j = jBegin; j < jEnd; ++j) {
    const unsigned char* source = glyph.bytes.data() + j * pitch;
    dropped += CountInk(source, kBegin) + CountInk(source + kEnd, pitch - kEnd);
    unsigned char* out = target + (shift + j) * rowBytes;
    if (left % 2 == 0) {
      // kBegin and kEnd are even here (the pitch is a multiple of four): whole
      // pairs, written plainly on bytes so that the compiler can vectorise it.
      const std::int64_t pairs = (kEnd - kBegin) / 2;
      unsigned char* pairOut = out + (left + kBegin) / 2;
      source += kBegin;
      for (std::int64_t p = 0; p < pairs; ++p) {
        const unsigned char a = std::min<unsigned char>(source[2 * p], 15);
        const unsigned char b = std::min<unsigned char>(source[2 * p + 1], 15);
        pairOut[p] = static_cast<unsigned char>(b << 4 | a);
      }
    } else {
      // An odd shift splits the pairs: one pixel at a time.
      for (std::int64_t k = kBegin; k < kEnd; ++k) {
        const std::int64_t column = left + k;
        const auto level = static_cast<unsigned char>(std::min<unsigned char>(source[k], 15));
        unsigned char& byte = out[column / 2];
        byte = column % 2 == 0 ? static_cast<unsigned char>((byte & 0xF0) | level)
                               : static_cast<unsigned char>((byte & 0x0F) | level << 4);
      }
    }
  }
  return dropped;
}

}  // namespace qzf
