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

// In 64 bits: a long text at a large scale may not fit a picture at all.
struct BlockGeometry {
  std::uint64_t pitch;  // picture pixels per cell
  std::uint64_t pad;    // band around the cells
  std::uint64_t bandWidth, bandHeight;
  std::uint64_t labelWidth;
};

BlockGeometry Measure(const TextBlock& block, TextPen& pen) {
  BlockGeometry g{};
  g.pitch = std::uint64_t{block.size->cellSize} * std::max<std::uint32_t>(block.scale, 1);
  g.pad = std::max<std::uint64_t>(8, g.pitch / 4);
  g.bandWidth = std::max<std::uint64_t>(block.layout->columns, 1) * g.pitch + 2 * g.pad;
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
  std::uint64_t width = 0, height = kMargin;
  for (const TextBlock& block : blocks) {
    geometry.push_back(Measure(block, pen));
    const BlockGeometry& g = geometry.back();
    width = std::max({width, g.bandWidth, g.labelWidth});
    height += (block.label.empty() ? 0 : kLabelHeight) + g.bandHeight + kBlockGap;
  }
  height += kMargin - kBlockGap;
  width += 2 * kMargin;

  TextPicture result;
  if (width * height > kMaxTextPicturePixels) {
    result.picture.width = static_cast<std::uint32_t>(std::min<std::uint64_t>(width, UINT32_MAX));
    result.picture.height = static_cast<std::uint32_t>(std::min<std::uint64_t>(height, UINT32_MAX));
    return result;
  }
  Canvas canvas(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), kPictureBackground);
  std::uint64_t y = kMargin;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const TextBlock& block = blocks[i];
    const BlockGeometry& g = geometry[i];
    if (!block.label.empty()) {
      pen.Draw(canvas, kMargin, static_cast<std::int64_t>(y), block.label, kLabelInk);
      y += kLabelHeight;
    }
    canvas.Fill(kMargin, static_cast<std::int64_t>(y), static_cast<std::int64_t>(g.bandWidth),
                static_cast<std::int64_t>(g.bandHeight), kPreviewBand);
    const CellGridOrigin origin{static_cast<std::uint32_t>(kMargin + g.pad), static_cast<std::uint32_t>(y + g.pad)};
    DrawCells(canvas, block, origin);
    result.origins.push_back(origin);
    y += g.bandHeight + kBlockGap;
  }
  result.picture = canvas.Take();
  return result;
}

}  // namespace qzf
