// Where pictures of text take their glyph cells from. One source reads the
// cells of a font file; another can hand out cells drawn live, before any
// file exists. Cells are addressed as in the font file: a size and a
// code-table position.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fontpatch/font_format.h"

namespace qzf {

class CellSource {
 public:
  virtual ~CellSource() = default;

  // The first code-table position that holds the game code, if any.
  virtual std::optional<std::uint32_t> PositionOf(std::uint16_t code) const = 0;
  // Writes the cell's S x S grey levels (0 background to 15 full ink), rows
  // top first, into `out` (S x S values).
  virtual void Levels(const GlyphSizeInfo& size, std::uint32_t position, std::span<std::uint8_t> out) const = 0;
};

}  // namespace qzf
