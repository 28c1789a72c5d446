#include "fontpatch/punctuation_placement.h"

#include <algorithm>
#include <vector>

namespace qzf {

std::optional<PunctuationPlacement> ParsePunctuationPlacement(std::string_view name) {
  if (name == "design") return PunctuationPlacement::kDesign;
  if (name == "mainland") return PunctuationPlacement::kMainland;
  if (name == "centred") return PunctuationPlacement::kCentred;
  return std::nullopt;
}

const char* PunctuationPlacementName(PunctuationPlacement placement) {
  switch (placement) {
    case PunctuationPlacement::kMainland:
      return "mainland";
    case PunctuationPlacement::kCentred:
      return "centred";
    case PunctuationPlacement::kDesign:
      break;
  }
  return "design";
}

std::optional<InkBox> FindInkBox(std::span<const std::uint8_t> levels, std::uint32_t cellSize) {
  const auto s = static_cast<std::int32_t>(cellSize);
  if (levels.size() < std::size_t{cellSize} * cellSize) return std::nullopt;
  InkBox box{s, s, 0, 0};
  for (std::int32_t y = 0; y < s; ++y) {
    for (std::int32_t x = 0; x < s; ++x) {
      if (levels[static_cast<std::size_t>(y) * cellSize + static_cast<std::size_t>(x)] == 0) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x + 1);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  if (box.right == 0) return std::nullopt;
  return box;
}

InkBox PlaceInkBox(PunctuationPlacement placement, const InkBox& box, std::uint32_t cellSize,
                   std::int32_t baselineRow) {
  const auto s = static_cast<std::int32_t>(cellSize);
  const std::int32_t w = box.width(), h = box.height();
  std::int32_t left = box.left, top = box.top;
  switch (placement) {
    case PunctuationPlacement::kDesign:
      return box;
    case PunctuationPlacement::kMainland:
      // Centres compared in half pixels: left + right is twice the centre.
      if (box.left + box.right >= s) left = s / 10;
      if (2 * h <= s && box.top + box.bottom <= s) top = baselineRow + 1 - h;
      break;
    case PunctuationPlacement::kCentred:
      left = (s - w) / 2;
      top = (s - h) / 2;
      break;
  }
  left = std::clamp(left, 0, s - w);
  top = std::clamp(top, 0, s - h);
  return InkBox{left, top, left + w, top + h};
}

std::optional<InkBox> PlacePunctuation(std::span<std::uint8_t> levels, std::uint32_t cellSize, std::int32_t baselineRow,
                                       PunctuationPlacement placement) {
  const std::optional<InkBox> box = FindInkBox(levels, cellSize);
  if (!box) return std::nullopt;
  const InkBox to = PlaceInkBox(placement, *box, cellSize, baselineRow);
  if (to == *box) return to;
  const std::size_t s = cellSize;
  std::vector<std::uint8_t> moved(s * s, 0);
  for (std::int32_t y = 0; y < box->height(); ++y) {
    for (std::int32_t x = 0; x < box->width(); ++x) {
      moved[static_cast<std::size_t>(to.top + y) * s + static_cast<std::size_t>(to.left + x)] =
          levels[static_cast<std::size_t>(box->top + y) * s + static_cast<std::size_t>(box->left + x)];
    }
  }
  std::copy(moved.begin(), moved.end(), levels.begin());
  return to;
}

}  // namespace qzf
