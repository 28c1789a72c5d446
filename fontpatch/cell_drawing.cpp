#include "fontpatch/cell_drawing.h"

namespace qzf {

std::vector<std::uint16_t> EachCharacterOnce(const std::vector<std::uint16_t>& characters) {
  std::vector<bool> seen(0x10000, false);
  std::vector<std::uint16_t> once;
  for (const std::uint16_t c : characters) {
    if (seen[c]) continue;
    seen[c] = true;
    once.push_back(c);
  }
  return once;
}

CellDrawing::CellDrawing(const RenderFace& face, const std::vector<RenderFace>& fallbackFaces,
                         const std::vector<GlyphTask>& sizes, const std::vector<std::uint16_t>& characters,
                         const GlyphRenderOps* ops, unsigned threads)
    : cells_(sizes.size()), finished_(sizes.size(), false) {
  for (std::size_t i = 0; i < sizes.size(); ++i)
    cells_[i].Prepare(sizes[i].size, characters, sizes[i].style.punctuation);
  GlyphBatchRequest request;
  request.face = face;
  request.fallbackFaces = fallbackFaces;
  request.tasks = sizes;
  request.characters = characters;
  request.ops = ops;
  request.threads = threads;
  batch_ = std::make_unique<GlyphBatch>(
      std::move(request), [this](std::size_t task, std::size_t index, const std::optional<RenderedGlyph>& glyph,
                                 const CellPlacement& placement) {
        if (cells_[task].prepared()) cells_[task].Store(index, glyph, placement);
      });
}

const RenderedCells& CellDrawing::Wait(std::size_t i, const GlyphBatch::Progress& progress) {
  if (!finished_[i]) {
    cells_[i].info = batch_->Wait(i, progress);
    finished_[i] = true;
  }
  return cells_[i];
}

}  // namespace qzf
