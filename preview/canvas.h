// An RGB picture being drawn: rectangles, ink blended by coverage, and whole
// pictures pasted in. Everything outside the picture is clipped.
#pragma once

#include <cstdint>
#include <vector>

namespace qzf {

struct RgbPicture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> rgb;  // rows top first
};

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

class Canvas {
 public:
  Canvas(std::uint32_t width, std::uint32_t height, Rgb background);

  std::uint32_t width() const { return picture_.width; }
  std::uint32_t height() const { return picture_.height; }

  void Fill(std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h, Rgb c);
  // A rectangle's outline, `thickness` pixels wide, inside the rectangle.
  void Frame(std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h, std::int64_t thickness, Rgb c);
  // Mixes ink over what is there by coverage 0..max.
  void Blend(std::int64_t x, std::int64_t y, Rgb ink, unsigned coverage, unsigned max);
  void Paste(const RgbPicture& picture, std::int64_t x0, std::int64_t y0);

  // Direct access for the hot loops that fill whole cells.
  std::uint8_t* Row(std::uint32_t y) { return &picture_.rgb[std::size_t{y} * picture_.width * 3]; }

  RgbPicture Take() { return std::move(picture_); }

 private:
  RgbPicture picture_;
};

}  // namespace qzf
