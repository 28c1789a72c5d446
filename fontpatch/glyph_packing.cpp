#include "fontpatch/glyph_packing.h"

#include <algorithm>
#include <cstring>

namespace qzf {

void PackGlyphIntoCell(std::span<unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell,
                       std::int32_t ascent, const GlyphBitmap& glyph) {
  const std::int64_t cellSize = size.cellSize;
  const std::int64_t rowBytes = size.bytesPerRow;
  const std::uint64_t cellOffset = CellOffset(size, cell);
  if (cellOffset + size.bytesPerCell > image.size()) return;
  unsigned char* target = image.data() + cellOffset;
  std::memset(target, 0, size.bytesPerCell);

  const std::uint32_t pitch = GlyphRowPitch(glyph.width);
  if (pitch == 0) return;
  const std::uint64_t rows = std::min<std::uint64_t>(glyph.height, glyph.bytes.size() / pitch);
  const std::int64_t firstColumn = glyph.originX / 2;  // toward zero, as the division does
  // Only the bytes of a row that land inside the cell are copied.
  const std::int64_t kBegin = std::max<std::int64_t>(0, -firstColumn) * 2;
  const std::int64_t kEnd = std::min<std::int64_t>(pitch, (rowBytes - firstColumn) * 2);
  if (kEnd <= kBegin) return;
  // kBegin and kEnd are even (the pitch is a multiple of four): whole pairs.
  const std::int64_t pairs = (kEnd - kBegin) / 2;
  // Rows of the bitmap that land inside the cell.
  const std::int64_t shift = static_cast<std::int64_t>(ascent) - glyph.originY;
  const std::int64_t jBegin = std::max<std::int64_t>(0, -shift);
  const std::int64_t jEnd = std::min<std::int64_t>(static_cast<std::int64_t>(rows), cellSize - shift);
  for (std::int64_t j = jBegin; j < jEnd; ++j) {
    const unsigned char* source = glyph.bytes.data() + j * pitch + kBegin;
    unsigned char* out = target + (shift + j) * rowBytes + firstColumn + kBegin / 2;
    // Written plainly on bytes so that the compiler can vectorise it.
    for (std::int64_t p = 0; p < pairs; ++p) {
      const unsigned char a = std::min<unsigned char>(source[2 * p], 15);
      const unsigned char b = std::min<unsigned char>(source[2 * p + 1], 15);
      out[p] = static_cast<unsigned char>(b << 4 | a);
    }
  }
}

}  // namespace qzf
