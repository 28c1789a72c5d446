#include "fontpatch/rendered_cells.h"

#include <algorithm>
#include <new>
#include <numeric>

#include "fontpatch/cell_image.h"
#include "fontpatch/fullwidth_punctuation.h"

namespace qzf {

bool RenderedCells::Prepare(const GlyphSizeInfo& size, std::vector<std::uint16_t> characters,
                            PunctuationPlacement punctuation) {
  prepared_ = false;
  size_ = size;
  punctuation_ = punctuation;
  try {
    characters_ = std::move(characters);
    byCharacter_.resize(characters_.size());
    std::iota(byCharacter_.begin(), byCharacter_.end(), 0u);
    std::sort(byCharacter_.begin(), byCharacter_.end(),
              [this](std::uint32_t a, std::uint32_t b) { return characters_[a] < characters_[b]; });
    drawings_.assign(characters_.size(), DrawnCell{});
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!bytes_.Allocate(characters_.size() * size.bytesPerCell)) return false;
  prepared_ = true;
  return true;
}

void RenderedCells::Store(std::size_t index, const std::optional<RenderedGlyph>& glyph,
                          const CellPlacement& placement) {
  if (!glyph) return;
  DrawnCell& drawing = drawings_[index];
  drawing.drawn = true;
  drawing.missing = glyph->missing;
  drawing.face = static_cast<std::uint32_t>(glyph->face);
  std::span<unsigned char> cell(bytes_.data() + index * size_.bytesPerCell, size_.bytesPerCell);
  drawing.droppedInk = PackGlyphIntoCellBytes(cell, size_, placement, glyph->bitmap);
  if (punctuation_ == PunctuationPlacement::kDesign || !FindFullWidthMark(characters_[index])) return;
  // The mark is moved whole within the cell, so no more ink is lost.
  std::vector<std::uint8_t> levels(std::size_t{size_.cellSize} * size_.cellSize);
  for (std::size_t i = 0; i < cell.size() && 2 * i + 1 < levels.size(); ++i) {
    levels[2 * i] = cell[i] & 0x0F;
    levels[2 * i + 1] = cell[i] >> 4;
  }
  PlacePunctuation(levels, size_.cellSize, placement.baselineRow, punctuation_);
  const std::vector<unsigned char> moved = PackCellLevels(levels, size_);
  std::copy(moved.begin(), moved.end(), cell.begin());
}

std::optional<RenderedCells::Cell> RenderedCells::Find(std::uint16_t character) const {
  const auto it = std::lower_bound(byCharacter_.begin(), byCharacter_.end(), character,
                                   [this](std::uint32_t i, std::uint16_t c) { return characters_[i] < c; });
  if (it == byCharacter_.end() || characters_[*it] != character) return std::nullopt;
  return Cell{&drawings_[*it], {bytes_.data() + std::size_t{*it} * size_.bytesPerCell, size_.bytesPerCell}};
}

}  // namespace qzf
