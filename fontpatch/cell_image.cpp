#include "fontpatch/cell_image.h"

namespace qzf {

CellImageResult CellImageLevels(const DecodedPng& picture, const GlyphSizeInfo& size) {
  CellImageResult result;
  const std::uint32_t s = size.cellSize;
  if (picture.width != s || picture.height != s) {
    result.error = "is " + std::to_string(picture.width) + "x" + std::to_string(picture.height) + " pixels; a " +
                   std::to_string(s) + " px cell takes exactly " + std::to_string(s) + "x" + std::to_string(s);
    return result;
  }
  result.levels.resize(std::size_t{s} * s);
  for (std::uint32_t y = 0; y < s; ++y) {
    for (std::uint32_t x = 0; x < s; ++x) {
      const std::uint8_t* p = picture.At(x, y);
      if (p[3] != 0 && (p[0] != p[1] || p[1] != p[2])) {
        result.error =
            "is not greyscale: the pixel at (" + std::to_string(x) + ", " + std::to_string(y) + ") has a colour";
        result.levels.clear();
        return result;
      }
      result.levels[std::size_t{y} * s + x] = InkLevel(p[0], p[3]);
    }
  }
  return result;
}

CellImageResult CellImageLevels(std::span<const unsigned char> pngFile, const GlyphSizeInfo& size) {
  // A cell picture of another size is refused anyway; a little room lets the
  // message say what size it was.
  PngDecodeResult decoded = DecodePng(pngFile, 1u << 20);
  if (!decoded) return CellImageResult{{}, std::move(decoded.error)};
  return CellImageLevels(decoded.picture, size);
}

std::vector<unsigned char> PackCellLevels(std::span<const std::uint8_t> levels, const GlyphSizeInfo& size) {
  std::vector<unsigned char> bytes(size.bytesPerCell);
  for (std::uint32_t i = 0; i < size.bytesPerCell && 2 * std::size_t{i} + 1 < levels.size(); ++i) {
    bytes[i] = PackPixelPair(levels[2 * std::size_t{i}], levels[2 * std::size_t{i} + 1]);
  }
  return bytes;
}

}  // namespace qzf
