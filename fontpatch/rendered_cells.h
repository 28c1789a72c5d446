// The cells of one glyph size drawn before the pass that puts them into the
// file: each character's cell exactly as the pass packs it, and what drawing
// it found. Cells of different characters may be stored at the same time.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fontpatch/glyph_batch.h"
#include "fontpatch/zeroed_block.h"

namespace qzf {

struct DrawnCell {
  bool drawn = false;            // false: the glyph query failed, and the code's cell stays as it is
  bool missing = false;          // no face had the glyph
  std::uint32_t face = 0;        // 0: the face; i > 0: fallback face i - 1
  std::uint32_t droppedInk = 0;  // ink pixels the cell edges cut off
};

class RenderedCells {
 public:
  // Room for the cells of `characters` (each once, in any order) at `size`;
  // false, with nothing held, when the memory cannot be had.
  // The full-width punctuation among them is moved by `punctuation`.
  bool Prepare(const GlyphSizeInfo& size, std::vector<std::uint16_t> characters,
               PunctuationPlacement punctuation = PunctuationPlacement::kDesign);
  bool prepared() const { return prepared_; }

  // Packs the glyph of characters[index]; a failed query (nullopt) leaves
  // the cell undrawn.
  void Store(std::size_t index, const std::optional<RenderedGlyph>& glyph, const CellPlacement& placement);

  // What drew the cells; set by the caller once they are all stored.
  GlyphTaskInfo info;

  struct Cell {
    const DrawnCell* drawing;
    std::span<const unsigned char> bytes;  // bytesPerCell
  };
  // The cell of a character; nullopt when it is not among them.
  std::optional<Cell> Find(std::uint16_t character) const;

 private:
  GlyphSizeInfo size_{};
  PunctuationPlacement punctuation_ = PunctuationPlacement::kDesign;
  std::vector<std::uint16_t> characters_;
  std::vector<std::uint32_t> byCharacter_;  // indices into characters_, in character order
  std::vector<DrawnCell> drawings_;
  ZeroedBlock bytes_;  // fresh zero pages: the cells start cleared, as the pass clears them
  bool prepared_ = false;
};

}  // namespace qzf
