// The cells of one or more glyph sizes drawn on every core ahead of the
// passes that put them into the file. Drawing does not depend on the file,
// so it can run while the file is laid down and read, and while the pass of
// a smaller size writes; sizes are finished in the order given.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "fontpatch/glyph_batch.h"
#include "fontpatch/rendered_cells.h"

namespace qzf {

// The characters once each, in the order they first come: what CellDrawing
// takes.
std::vector<std::uint16_t> EachCharacterOnce(const std::vector<std::uint16_t>& characters);

class CellDrawing {
 public:
  // characters: GBK codes, each once. threads: see GlyphBatchRequest.
  CellDrawing(const RenderFace& face, const std::vector<RenderFace>& fallbackFaces, const std::vector<GlyphTask>& sizes,
              const std::vector<std::uint16_t>& characters, const GlyphRenderOps* ops = nullptr, unsigned threads = 0);
  CellDrawing(const CellDrawing&) = delete;
  CellDrawing& operator=(const CellDrawing&) = delete;

  // The cells of sizes[i], once all are drawn; not prepared() when their
  // memory could not be had. progress(done, total) is called meanwhile.
  const RenderedCells& Wait(std::size_t i, const GlyphBatch::Progress& progress = {});

 private:
  std::vector<RenderedCells> cells_;
  std::vector<bool> finished_;
  std::unique_ptr<GlyphBatch> batch_;  // last: it stores into cells_ until it ends
};

}  // namespace qzf
