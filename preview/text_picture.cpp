#include "preview/text_picture.h"

#include <algorithm>
#include <array>

#include "preview/picture_colours.h"
#include "preview/text_pen.h"

namespace qzf {
namespace {

constexpr std::uint32_t kMargin = 16;
constexpr std::uint32_t kLabelHeight = 26;  // a 20-pixel line and its gap
constexpr std::uint32_t kBlockGap = 12;

struct BlockGeometry {
  std::uint32_t pitch;  // picture pixels per cell
  std::uint32_t pad;    // band around the cells
  std::uint32_t bandWidth, bandHeight;
  std::uint32_t labelWidth;
};

BlockGeometry Measure(const TextBlock& block, TextPen& pen) {
  BlockGeometry g{};
  g.pitch = block.size->cellSize * std::max<std::uint32_t>(block.scale, 1);
  g.pad = std::max<std::uint32_t>(8, g.pitch / 4);
  g.bandWidth = std::max<std::uint32_t>(block.layout->columns, 1) * g.pitch + 2 * g.pad;
  g.bandHeight = block.layout->rows * g.pitch + 2 * g.pad;
  g.labelWidth =
      block.label.empty() ? 0 : static_cast<std::uint32_t>(std::max<std::int64_t>(0, pen.Measure(block.label)));
  return g;
}

void DrawCells(Canvas& canvas, const TextBlock& block, CellGridOrigin origin) {
  const std::uint32_t scale = std::max<std::uint32_t>(block.scale, 1);
  std::array<Rgb, 16> colours;
  for (unsigned level = 0; level < 16; ++level) colours[level] = LevelColour(level);
  const GlyphSizeInfo& size = *block.size;
  const std::uint32_t s = size.cellSize, pitch = s * scale;
  std::vector<std::uint8_t> levels(std::size_t{s} * s);
  for (const PlacedCharacter& placed : block.layout->placed) {
    const std::int64_t x0 = origin.x + std::int64_t{placed.column} * pitch;
    const std::int64_t y0 = origin.y + std::int64_t{placed.row} * pitch;
    if (!placed.position) {
      const std::int64_t inset = pitch / 8;
      canvas.Frame(x0 + inset, y0 + inset, pitch - 2 * inset, pitch - 2 * inset, std::max<std::uint32_t>(1, scale),
                   kMissingBoxInk);
      continue;
    }
    block.cells->Levels(size, *placed.position, levels);
    for (std::uint32_t y = 0; y < pitch; ++y) {
      std::uint8_t* p = canvas.Row(static_cast<std::uint32_t>(y0 + y)) + x0 * 3;
      const std::uint8_t* row = &levels[std::size_t{y / scale} * s];
      for (std::uint32_t x = 0; x < pitch; ++x, p += 3) {
        const Rgb c = colours[row[x / scale]];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
      }
    }
  }
}

}  // namespace

TextPicture DrawTextPicture(std::span<const TextBlock> blocks, const GlyphRenderOps* opsOrNull) {
  const GlyphRenderOps ops = ResolveGlyphRenderOps(opsOrNull);
  TextPen pen(ops, kLabelFace, 20);

  std::vector<BlockGeometry> geometry;
  std::uint32_t width = 0, height = kMargin;
  for (const TextBlock& block : blocks) {
    geometry.push_back(Measure(block, pen));
    const BlockGeometry& g = geometry.back();
    width = std::max({width, g.bandWidth, g.labelWidth});
    height += (block.label.empty() ? 0 : kLabelHeight) + g.bandHeight + kBlockGap;
  }
  height += kMargin - kBlockGap;
  width += 2 * kMargin;

  TextPicture result;
  Canvas canvas(width, height, kPictureBackground);
  std::uint32_t y = kMargin;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const TextBlock& block = blocks[i];
    const BlockGeometry& g = geometry[i];
    if (!block.label.empty()) {
      pen.Draw(canvas, kMargin, y, block.label, kLabelInk);
      y += kLabelHeight;
    }
    canvas.Fill(kMargin, y, g.bandWidth, g.bandHeight, kPreviewBand);
    const CellGridOrigin origin{kMargin + g.pad, y + g.pad};
    DrawCells(canvas, block, origin);
    result.origins.push_back(origin);
    y += g.bandHeight + kBlockGap;
  }
  result.picture = canvas.Take();
  return result;
}

}  // namespace qzf
