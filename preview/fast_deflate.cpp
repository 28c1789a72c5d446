#include "preview/fast_deflate.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace qzf {
namespace {

constexpr std::uint32_t kWindow = 32768;
constexpr std::uint32_t kMinMatch = 4;  // the hash covers four bytes
constexpr std::uint32_t kMaxMatch = 258;
constexpr int kHashBits = 15;

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                             33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

std::uint32_t Reverse(std::uint32_t code, int bits) {
  std::uint32_t out = 0;
  for (int i = 0; i < bits; ++i) out |= ((code >> i) & 1u) << (bits - 1 - i);
  return out;
}

// Deflate's fixed codes, bit-reversed for an LSB-first stream, and the
// symbol of every match length and distance.
struct FixedCodes {
  std::array<std::uint16_t, 288> literal{};
  std::array<std::uint8_t, 288> literalBits{};
  std::array<std::uint8_t, 30> distance{};
  std::array<std::uint8_t, kMaxMatch + 1> lengthSymbol{};
  std::array<std::uint8_t, kWindow + 1> distanceSymbol{};

  FixedCodes() {
    for (std::uint32_t s = 0; s < 288; ++s) {
      std::uint32_t code = 0;
      int bits = 0;
      if (s < 144) {
        code = 0x30 + s, bits = 8;
      } else if (s < 256) {
        code = 0x190 + (s - 144), bits = 9;
      } else if (s < 280) {
        code = s - 256, bits = 7;
      } else {
        code = 0xC0 + (s - 280), bits = 8;
      }
      literal[s] = static_cast<std::uint16_t>(Reverse(code, bits));
      literalBits[s] = static_cast<std::uint8_t>(bits);
    }
    for (std::uint32_t d = 0; d < 30; ++d) distance[d] = static_cast<std::uint8_t>(Reverse(d, 5));
    for (std::uint32_t k = 0; k < 29; ++k)
      for (std::uint32_t len = kLengthBase[k]; len < (k + 1 < 29 ? kLengthBase[k + 1] : kMaxMatch + 1u); ++len)
        lengthSymbol[len] = static_cast<std::uint8_t>(k);
    lengthSymbol[kMaxMatch] = 28;
    for (std::uint32_t k = 0; k < 30; ++k)
      for (std::uint32_t d = kDistanceBase[k]; d < (k + 1 < 30 ? kDistanceBase[k + 1] : kWindow + 1u); ++d)
        distanceSymbol[d] = static_cast<std::uint8_t>(k);
  }
};

class BitWriter {
 public:
  explicit BitWriter(std::vector<unsigned char>& out) : out_(out) {}
  void Put(std::uint32_t value, int bits) {
    buffer_ |= std::uint64_t{value} << count_;
    count_ += bits;
    while (count_ >= 8) {
      out_.push_back(static_cast<unsigned char>(buffer_));
      buffer_ >>= 8;
      count_ -= 8;
    }
  }
  void Flush() {
    if (count_ > 0) out_.push_back(static_cast<unsigned char>(buffer_));
    buffer_ = 0;
    count_ = 0;
  }

 private:
  std::vector<unsigned char>& out_;
  std::uint64_t buffer_ = 0;
  int count_ = 0;
};

std::uint32_t Adler32(std::span<const unsigned char> data) {
  std::uint32_t a = 1, b = 0;
  std::size_t i = 0;
  while (i < data.size()) {
    // The sums stay below 2^32 for 5552 bytes between reductions.
    const std::size_t end = std::min(data.size(), i + 5552);
    for (; i < end; ++i) {
      a += data[i];
      b += a;
    }
    a %= 65521;
    b %= 65521;
  }
  return (b << 16) | a;
}

std::uint32_t Load32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

std::vector<unsigned char> ZlibCompressFast(std::span<const unsigned char> data) {
  static const FixedCodes codes;
  std::vector<unsigned char> out;
  out.reserve(data.size() / 4 + 64);
  out.push_back(0x78);  // deflate, 32 KiB window
  out.push_back(0x01);  // fastest, no preset dictionary
  BitWriter bits(out);
  bits.Put(1, 1);  // the last block
  bits.Put(1, 2);  // fixed Huffman codes

  auto literal = [&](unsigned char byte) { bits.Put(codes.literal[byte], codes.literalBits[byte]); };
  std::vector<std::uint32_t> table(std::size_t{1} << kHashBits, 0xFFFFFFFFu);
  const std::size_t n = data.size();
  const unsigned char* p = data.data();
  std::size_t i = 0;
  while (i + kMinMatch <= n) {
    const std::uint32_t word = Load32(p + i);
    const std::uint32_t hash = (word * 2654435761u) >> (32 - kHashBits);
    const std::uint32_t candidate = table[hash];
    table[hash] = static_cast<std::uint32_t>(i);
    if (candidate == 0xFFFFFFFFu || i - candidate > kWindow || Load32(p + candidate) != word) {
      literal(p[i++]);
      continue;
    }
    std::size_t length = kMinMatch;
    const std::size_t limit = std::min<std::size_t>(kMaxMatch, n - i);
    while (length < limit && p[candidate + length] == p[i + length]) ++length;
    const std::uint32_t distance = static_cast<std::uint32_t>(i - candidate);
    const std::uint32_t ls = codes.lengthSymbol[length];
    bits.Put(codes.literal[257 + ls], codes.literalBits[257 + ls]);
    if (kLengthExtra[ls]) bits.Put(static_cast<std::uint32_t>(length) - kLengthBase[ls], kLengthExtra[ls]);
    const std::uint32_t ds = codes.distanceSymbol[distance];
    bits.Put(codes.distance[ds], 5);
    if (kDistanceExtra[ds]) bits.Put(distance - kDistanceBase[ds], kDistanceExtra[ds]);
    i += length;
    // The match's last position, so that a run goes on with distance 1.
    if (i + kMinMatch <= n)
      table[(Load32(p + i - 1) * 2654435761u) >> (32 - kHashBits)] = static_cast<std::uint32_t>(i - 1);
  }
  while (i < n) literal(p[i++]);
  bits.Put(codes.literal[256], codes.literalBits[256]);  // end of block
  bits.Flush();
  const std::uint32_t adler = Adler32(data);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(adler >> shift));
  return out;
}

}  // namespace qzf
