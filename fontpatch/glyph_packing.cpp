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
  for (std::uint64_t j = 0; j < rows; ++j) {
    const std::int64_t r = static_cast<std::int64_t>(ascent) + static_cast<std::int64_t>(j) - glyph.originY;
    if (r < 0 || r >= cellSize) continue;
    const unsigned char* source = glyph.bytes.data() + j * pitch;
    unsigned char* row = target + r * rowBytes;
    for (std::int64_t k = kBegin; k < kEnd; k += 2) {
      const unsigned a = std::min<unsigned>(source[k], 15);
      const unsigned b = std::min<unsigned>(source[k + 1], 15);
      row[firstColumn + k / 2] = static_cast<unsigned char>(b * 16 + a);
    }
  }
}

}  // namespace qzf
