#include "studio/live_cells.h"

#include <algorithm>

namespace qzf::studio {

LiveCells::LiveCells(const StudioData& data, GlyphWorkshop& workshop, FaceStyle faceStyle, std::size_t sizeIndex)
    : data_(data), workshop_(workshop), faceStyle_(std::move(faceStyle)), sizeIndex_(sizeIndex) {}

bool LiveCells::Draw(const std::vector<std::uint32_t>& positions) {
  std::vector<std::uint32_t> missing;
  for (const std::uint32_t p : positions) {
    if (!drawn_.count(p)) missing.push_back(p);
  }
  bool ok = false;
  auto cells = workshop_.Cells(faceStyle_, sizeIndex_, missing, ok);
  if (!ok) return false;
  for (std::size_t k = 0; k < missing.size(); ++k) drawn_.emplace(missing[k], std::move(cells[k]));
  return true;
}

std::optional<CellPicture> LiveCells::Picture(std::uint32_t position) const {
  auto it = drawn_.find(position);
  if (it == drawn_.end()) {
    bool ok = false;
    auto cells = workshop_.Cells(faceStyle_, sizeIndex_, {position}, ok);
    if (!ok) return std::nullopt;
    it = drawn_.emplace(position, std::move(cells.front())).first;
  }
  return it->second;
}

void LiveCells::Levels(const GlyphSizeInfo& size, std::uint32_t position, std::span<std::uint8_t> out) const {
  const std::size_t pixels = std::size_t{size.cellSize} * size.cellSize;
  if (out.size() < pixels) return;
  const auto picture = size.cellSize == SizeModeTable[sizeIndex_].cellSize ? Picture(position) : std::nullopt;
  if (!picture) {
    std::fill_n(out.begin(), pixels, std::uint8_t{0});
    return;
  }
  std::copy(picture->levels.begin(), picture->levels.end(), out.begin());
}

}  // namespace qzf::studio
