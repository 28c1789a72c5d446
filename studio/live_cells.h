// The cells of one size as a build would write them for a face and style,
// drawn live and only when asked for: the studio's preview draws its texts
// from these, the characters shown and no others, without building.
#pragma once

#include <map>

#include "preview/cell_source.h"
#include "studio/glyph_workshop.h"
#include "studio/studio_data.h"

namespace qzf::studio {

class LiveCells final : public CellSource {
 public:
  LiveCells(const StudioData& data, GlyphWorkshop& workshop, FaceStyle faceStyle, std::size_t sizeIndex);

  std::optional<std::uint32_t> PositionOf(std::uint16_t code) const override {
    return data_.stockCells().PositionOf(code);
  }
  void Levels(const GlyphSizeInfo& size, std::uint32_t position, std::span<std::uint8_t> out) const override;

  // Draws the cells of the positions in one go (the others when asked);
  // false when the face cannot be drawn.
  bool Draw(const std::vector<std::uint32_t>& positions);
  // The cell at a position with what drawing it found; nullopt when the
  // face cannot be drawn.
  std::optional<CellPicture> Picture(std::uint32_t position) const;

 private:
  const StudioData& data_;
  GlyphWorkshop& workshop_;
  FaceStyle faceStyle_;
  std::size_t sizeIndex_;
  mutable std::map<std::uint32_t, CellPicture> drawn_;
};

}  // namespace qzf::studio
