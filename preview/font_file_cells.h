// Glyph cells read from a font file image in memory.
#pragma once

#include <span>

#include "preview/cell_source.h"
#include "preview/code_positions.h"

namespace qzf {

class FontFileCells : public CellSource {
 public:
  // The image must pass the font file test and outlive this object.
  explicit FontFileCells(std::span<const unsigned char> image);

  std::optional<std::uint32_t> PositionOf(std::uint16_t code) const override { return positions_.Find(code); }
  void Levels(const GlyphSizeInfo& size, std::uint32_t position, std::span<std::uint8_t> out) const override;

 private:
  std::span<const unsigned char> image_;
  CodePositions positions_;
};

}  // namespace qzf
