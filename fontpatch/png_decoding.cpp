#include "fontpatch/png_decoding.h"

#include <climits>
#include <cstring>
#include <memory>

#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace qzf {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct StbFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

PngDecodeResult DecodePng(std::span<const unsigned char> file, std::uint64_t maxPixels) {
  PngDecodeResult result;
  if (file.size() < sizeof kSignature || std::memcmp(file.data(), kSignature, sizeof kSignature) != 0) {
    result.error = "is not a PNG file";
    return result;
  }
  if (file.size() > INT_MAX) {
    result.error = "is too large";
    return result;
  }
  const int length = static_cast<int>(file.size());
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(file.data(), length, &width, &height, &channels)) {
    result.error = "is not a readable PNG file";
    return result;
  }
  if (width <= 0 || height <= 0 || static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > maxPixels) {
    result.error = "is too large (" + std::to_string(width) + "x" + std::to_string(height) + " pixels)";
    return result;
  }
  const std::unique_ptr<stbi_uc, StbFree> pixels(
      stbi_load_from_memory(file.data(), length, &width, &height, &channels, 4));
  if (!pixels) {
    result.error = std::string("is not a readable PNG file (") + stbi_failure_reason() + ")";
    return result;
  }
  result.picture.width = static_cast<std::uint32_t>(width);
  result.picture.height = static_cast<std::uint32_t>(height);
  result.picture.rgba.assign(pixels.get(),
                             pixels.get() + std::size_t{result.picture.width} * result.picture.height * 4);
  return result;
}

}  // namespace qzf
