#include "preview/png_encoder.h"

#include <cstdlib>
#include <cstring>

#include "preview/zlib_stream.h"

namespace {
// stb's own compressor is several times slower than zlib: pictures of long
// texts at 64 px are tens of megabytes of pixels.
unsigned char* CompressForStb(unsigned char* data, int length, int* outLength, int /*quality*/) {
  const std::vector<unsigned char> z = qzf::ZlibCompress({data, static_cast<std::size_t>(length)});
  if (z.empty()) return nullptr;
  auto* out = static_cast<unsigned char*>(std::malloc(z.size()));
  if (!out) return nullptr;
  std::memcpy(out, z.data(), z.size());
  *outLength = static_cast<int>(z.size());
  return out;
}
}  // namespace

#define STBIW_ZLIB_COMPRESS CompressForStb
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb/stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace qzf {
namespace {
void Append(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}
}  // namespace

std::vector<unsigned char> EncodePng(const std::vector<std::uint8_t>& pixels, std::uint32_t width, std::uint32_t height,
                                     int channels) {
  std::vector<unsigned char> png;
  if (width == 0 || height == 0 || (channels != 1 && channels != 3) ||
      pixels.size() != std::size_t{width} * height * static_cast<std::size_t>(channels))
    return png;
  stbi_write_force_png_filter = 1;
  stbi_write_png_to_func(&Append, &png, static_cast<int>(width), static_cast<int>(height), channels, pixels.data(),
                         static_cast<int>(width) * channels);
  return png;
}

}  // namespace qzf
