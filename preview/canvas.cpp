#include "preview/canvas.h"

#include <algorithm>
#include <cstring>

namespace qzf {
namespace {

std::int64_t Clamp(std::int64_t v, std::uint32_t limit) { return std::clamp<std::int64_t>(v, 0, limit); }

}  // namespace

Canvas::Canvas(std::uint32_t width, std::uint32_t height, Rgb background) : picture_{width, height, {}} {
  picture_.rgb.resize(std::size_t{width} * height * 3);
  Fill(0, 0, width, height, background);
}

void Canvas::Fill(std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h, Rgb c) {
  const std::int64_t left = Clamp(x0, picture_.width), right = Clamp(x0 + w, picture_.width);
  const std::int64_t top = Clamp(y0, picture_.height), bottom = Clamp(y0 + h, picture_.height);
  for (std::int64_t y = top; y < bottom; ++y) {
    std::uint8_t* p = Row(static_cast<std::uint32_t>(y)) + left * 3;
    for (std::int64_t x = left; x < right; ++x, p += 3) {
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
    }
  }
}

void Canvas::Frame(std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h, std::int64_t thickness, Rgb c) {
  Fill(x0, y0, w, thickness, c);
  Fill(x0, y0 + h - thickness, w, thickness, c);
  Fill(x0, y0, thickness, h, c);
  Fill(x0 + w - thickness, y0, thickness, h, c);
}

void Canvas::Blend(std::int64_t x, std::int64_t y, Rgb ink, unsigned coverage, unsigned max) {
  if (x < 0 || y < 0 || x >= picture_.width || y >= picture_.height || coverage == 0) return;
  std::uint8_t* p = Row(static_cast<std::uint32_t>(y)) + x * 3;
  coverage = std::min(coverage, max);
  p[0] = static_cast<std::uint8_t>((p[0] * (max - coverage) + ink.r * coverage) / max);
  p[1] = static_cast<std::uint8_t>((p[1] * (max - coverage) + ink.g * coverage) / max);
  p[2] = static_cast<std::uint8_t>((p[2] * (max - coverage) + ink.b * coverage) / max);
}

void Canvas::Paste(const RgbPicture& picture, std::int64_t x0, std::int64_t y0) {
  const std::int64_t left = Clamp(x0, picture_.width), right = Clamp(x0 + picture.width, picture_.width);
  const std::int64_t top = Clamp(y0, picture_.height), bottom = Clamp(y0 + picture.height, picture_.height);
  if (left >= right) return;
  for (std::int64_t y = top; y < bottom; ++y) {
    const std::uint8_t* from = &picture.rgb[(static_cast<std::size_t>(y - y0) * picture.width + (left - x0)) * 3];
    std::memcpy(Row(static_cast<std::uint32_t>(y)) + left * 3, from, static_cast<std::size_t>(right - left) * 3);
  }
}

}  // namespace qzf
