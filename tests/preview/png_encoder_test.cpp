#include "preview/png_encoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "preview/zlib_stream.h"

namespace qzf {
namespace {

std::uint32_t BigEndian(const unsigned char* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

std::vector<unsigned char> Inflate(const std::vector<unsigned char>& z, std::size_t expected) {
  std::vector<unsigned char> out(expected + 1);
  uLongf length = static_cast<uLongf>(out.size());
  if (uncompress(out.data(), &length, z.data(), static_cast<uLong>(z.size())) != Z_OK) return {};
  out.resize(length);
  return out;
}

// What a PNG reader gets back: the chunks walked with their CRCs checked,
// the IDAT stream inflated and its rows unfiltered. Empty on any fault.
struct Decoded {
  std::uint32_t width = 0, height = 0;
  int channels = 0;
  std::vector<unsigned char> pixels;
};

Decoded DecodePng(const std::vector<unsigned char>& png) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Decoded d;
  if (png.size() < 8 || !std::equal(kSignature, kSignature + 8, png.begin())) return {};
  std::vector<unsigned char> idat;
  bool ended = false;
  for (std::size_t at = 8; at < png.size() && !ended;) {
    if (png.size() - at < 12) return {};
    const std::uint32_t length = BigEndian(&png[at]);
    if (png.size() - at - 12 < length) return {};
    const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at) + 4,
                           png.begin() + static_cast<std::ptrdiff_t>(at) + 8);
    const unsigned char* body = &png[at + 8];
    if (crc32(0, &png[at + 4], length + 4) != BigEndian(body + length)) return {};
    if (type == "IHDR") {
      d.width = BigEndian(body);
      d.height = BigEndian(body + 4);
      d.channels = body[9] == 0 ? 1 : body[9] == 2 ? 3 : 0;
      if (body[8] != 8 || d.channels == 0) return {};
    } else if (type == "IDAT") {
      idat.insert(idat.end(), body, body + length);
    } else if (type == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  const std::size_t stride = std::size_t{d.width} * static_cast<std::size_t>(d.channels);
  const std::vector<unsigned char> rows = Inflate(idat, (stride + 1) * d.height);
  if (!ended || rows.size() != (stride + 1) * d.height) return {};
  std::vector<unsigned char> previous(stride, 0);
  for (std::uint32_t y = 0; y < d.height; ++y) {
    const unsigned char* row = &rows[y * (stride + 1)];
    std::vector<unsigned char> out(row + 1, row + 1 + stride);
    for (std::size_t x = 0; x < stride; ++x) {
      const int a = x >= static_cast<std::size_t>(d.channels) ? out[x - static_cast<std::size_t>(d.channels)] : 0;
      const int b = previous[x];
      const int c = x >= static_cast<std::size_t>(d.channels) ? previous[x - static_cast<std::size_t>(d.channels)] : 0;
      switch (row[0]) {
        case 0:
          break;
        case 1:
          out[x] = static_cast<unsigned char>(out[x] + a);
          break;
        case 2:
          out[x] = static_cast<unsigned char>(out[x] + b);
          break;
        case 3:
          out[x] = static_cast<unsigned char>(out[x] + (a + b) / 2);
          break;
        case 4: {
          const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
          out[x] = static_cast<unsigned char>(out[x] + (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
          break;
        }
        default:
          return {};
      }
    }
    d.pixels.insert(d.pixels.end(), out.begin(), out.end());
    previous = std::move(out);
  }
  return d;
}

std::vector<std::uint8_t> Noise(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

// Every picture comes back pixel for pixel from a reader's view of the file:
// grey and RGB, one pixel, single rows and columns, flat colour and noise
// (which deflate cannot shrink: stored blocks).
TEST(PngEncoderTest, APictureDecodesToItsOwnPixels) {
  struct Case {
    const char* name;
    std::uint32_t width, height;
    int channels;
    std::vector<std::uint8_t> pixels;
  };
  std::vector<std::uint8_t> stripes(300 * 200 * 3);
  for (std::size_t i = 0; i < stripes.size(); ++i) stripes[i] = static_cast<std::uint8_t>((i / 7) % 5 * 60);
  const Case cases[] = {
      {"one grey pixel", 1, 1, 1, {0x7F}},
      {"one RGB pixel", 1, 1, 3, {1, 2, 3}},
      {"a row", 257, 1, 1, Noise(257, 1)},
      {"a column", 1, 300, 3, Noise(900, 2)},
      {"flat", 640, 480, 3, std::vector<std::uint8_t>(640 * 480 * 3, 0xC0)},
      {"stripes", 300, 200, 3, stripes},
      {"noise", 512, 512, 1, Noise(512 * 512, 3)},
  };
  for (const Case& c : cases) {
    const std::vector<unsigned char> png = EncodePng(c.pixels, c.width, c.height, c.channels);
    const Decoded d = DecodePng(png);
    EXPECT_EQ(d.width, c.width) << c.name;
    EXPECT_EQ(d.height, c.height) << c.name;
    EXPECT_EQ(d.channels, c.channels) << c.name;
    EXPECT_TRUE(d.pixels == c.pixels) << c.name;
  }
}

TEST(PngEncoderTest, PicturesThatDisagreeWithTheirSizesGiveNoFile) {
  EXPECT_TRUE(EncodePng({}, 0, 0, 3).empty());
  EXPECT_TRUE(EncodePng({1, 2, 3}, 2, 1, 3).empty());
  EXPECT_TRUE(EncodePng({1, 2, 3, 4}, 2, 1, 2).empty());
}

// The compressor alone: what it gives inflates to its input, and text-like
// blocks (long runs) shrink.
TEST(PngEncoderTest, TheZlibStreamInflatesToItsInput) {
  const std::vector<unsigned char> inputs[] = {
      {}, {'a'}, std::vector<unsigned char>(1 << 20, 0), Noise(100000, 4), std::vector<unsigned char>(70000, 0xFF)};
  for (const auto& input : inputs) {
    const std::vector<unsigned char> z = ZlibCompress(input);
    ASSERT_FALSE(z.empty()) << input.size();
    EXPECT_TRUE(Inflate(z, input.size()) == input) << input.size();
    if (input.size() == (1u << 20)) {
      EXPECT_LT(z.size(), input.size() / 100);
    }
  }
}

}  // namespace
}  // namespace qzf
