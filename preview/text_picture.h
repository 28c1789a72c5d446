// Pictures of text drawn from glyph cells alone, as the game shows it: each
// block a label above the text on the window's dark band, the cells' grey
// levels as its light ink, boxes where no cell draws a character. Blocks
// stand one below the other.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/portable/glyph_render_ops.h"
#include "preview/canvas.h"
#include "preview/cell_source.h"
#include "preview/text_layout.h"

namespace qzf {

struct TextBlock {
  std::string label;  // GBK; empty: no label line
  const CellSource* cells = nullptr;
  const TextLayout* layout = nullptr;
  const GlyphSizeInfo* size = nullptr;
  std::uint32_t scale = 1;  // picture pixels per cell pixel, at least 1
};

struct CellGridOrigin {
  std::uint32_t x = 0, y = 0;  // top left pixel of the block's first cell
};

// The largest picture drawn: 300 MB of pixels.
inline constexpr std::uint64_t kMaxTextPicturePixels = 100'000'000;

struct TextPicture {
  // Too large a picture keeps its width and height but gets no pixels.
  RgbPicture picture;
  std::vector<CellGridOrigin> origins;  // one per block
};

// Every cell pixel becomes scale x scale picture pixels, without smoothing:
// cell (row r, column c) of a block of size S lies at its origin + (c, r) x
// S x scale. ops: the font calls for the labels (null: the platform's).
TextPicture DrawTextPicture(std::span<const TextBlock> blocks, const GlyphRenderOps* ops = nullptr);

}  // namespace qzf
