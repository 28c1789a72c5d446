#include "studio/base64.h"

namespace qzf::studio {
namespace {

int Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::vector<unsigned char> out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const std::size_t padding = last ? (text[i + 3] == '=' ? (text[i + 2] == '=' ? 2 : 1) : 0) : 0;
    unsigned value = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const int v = k >= 4 - padding ? 0 : Value(text[i + k]);
      if (v < 0) return std::nullopt;
      value = value << 6 | static_cast<unsigned>(v);
    }
    out.push_back(static_cast<unsigned char>(value >> 16));
    if (padding < 2) out.push_back(static_cast<unsigned char>(value >> 8 & 0xFF));
    if (padding < 1) out.push_back(static_cast<unsigned char>(value & 0xFF));
  }
  return out;
}

}  // namespace qzf::studio
