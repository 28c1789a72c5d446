#include "tests/data/grey_image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qzf::test {
namespace {

struct InkBox {
  int left, top, right, bottom;  // right and bottom exclusive
};

InkBox FindInk(const GreyImage& image) {
  InkBox box{image.width, image.height, 0, 0};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.at(x, y) == 0) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box;
}

}  // namespace

bool GreyImage::IsBlank() const {
  return std::all_of(levels.begin(), levels.end(), [](std::uint8_t l) { return l == 0; });
}

GreyImage DecodeCell(std::span<const unsigned char> cell, int size, bool lowNibbleLeft) {
  GreyImage image{size, size, {}};
  image.levels.reserve(static_cast<std::size_t>(size) * size);
  for (const unsigned char byte : cell.first(static_cast<std::size_t>(size) * size / 2)) {
    const std::uint8_t low = byte & 0x0F;
    const std::uint8_t high = byte >> 4;
    image.levels.push_back(lowNibbleLeft ? low : high);
    image.levels.push_back(lowNibbleLeft ? high : low);
  }
  return image;
}

long HorizontalRoughness(const GreyImage& image) {
  long sum = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x + 1 < image.width; ++x) sum += std::abs(image.at(x + 1, y) - image.at(x, y));
  }
  return sum;
}

double InkCorrelation(const GreyImage& a, const GreyImage& b) {
  const InkBox boxA = FindInk(a);
  const InkBox boxB = FindInk(b);
  const int width = std::max(boxA.right - boxA.left, boxB.right - boxB.left);
  const int height = std::max(boxA.bottom - boxA.top, boxB.bottom - boxB.top);
  const auto level = [](const GreyImage& image, int x, int y) -> double {
    return (x < image.width && y < image.height) ? image.at(x, y) : 0;
  };
  double ab = 0, aa = 0, bb = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double va = level(a, boxA.left + x, boxA.top + y);
      const double vb = level(b, boxB.left + x, boxB.top + y);
      ab += va * vb;
      aa += va * va;
      bb += vb * vb;
    }
  }
  return (aa == 0 || bb == 0) ? 0 : ab / std::sqrt(aa * bb);
}

}  // namespace qzf::test
