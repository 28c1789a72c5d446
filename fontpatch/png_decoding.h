// PNG files read into 8-bit RGBA pixels: hand-drawn cells and edited glyph
// sheets. Only PNG is taken, and its size is checked before any pixel is
// decoded, so a small file cannot ask for a huge allocation.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qzf {

struct DecodedPng {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> rgba;  // rows top first, 4 bytes a pixel; grey and palette pictures expanded

  // Pixel (x, y): red, green, blue, alpha.
  const std::uint8_t* At(std::uint32_t x, std::uint32_t y) const {
    return rgba.data() + (std::size_t{y} * width + x) * 4;
  }
};

struct PngDecodeResult {
  DecodedPng picture;
  std::string error;  // empty when it was read: "is not a PNG file" and the like
  explicit operator bool() const { return error.empty(); }
};

// 16-bit pictures are taken at their high byte.
PngDecodeResult DecodePng(std::span<const unsigned char> file, std::uint64_t maxPixels);

}  // namespace qzf
