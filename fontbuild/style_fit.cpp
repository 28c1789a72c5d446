#include "fontbuild/style_fit.h"

#include <algorithm>
#include <optional>

#include "fontpatch/glyph_batch.h"
#include "platform/base/codepage.h"

namespace qzf {
namespace {

// A glyph's ink in cell coordinates, right and bottom exclusive.
struct InkBox {
  std::int32_t left, top, right, bottom;
};

struct Measured {
  std::vector<InkBox> boxes;     // glyphs with ink
  std::vector<InkBox> cjkBoxes;  // of those, the CJK ideographs
};

std::optional<InkBox> InkOf(const GlyphBitmap& glyph, const CellPlacement& placement) {
  const std::uint32_t pitch = GlyphRowPitch(glyph.width);
  if (pitch == 0) return std::nullopt;
  const std::uint32_t rows =
      std::min<std::uint32_t>(glyph.height, static_cast<std::uint32_t>(glyph.bytes.size() / pitch));
  std::int32_t left = INT32_MAX, right = INT32_MIN, top = INT32_MAX, bottom = INT32_MIN;
  for (std::uint32_t y = 0; y < rows; ++y) {
    const unsigned char* row = glyph.bytes.data() + static_cast<std::size_t>(y) * pitch;
    for (std::uint32_t x = 0; x < pitch; ++x) {
      if (row[x] == 0) continue;
      left = std::min<std::int32_t>(left, static_cast<std::int32_t>(x));
      right = std::max<std::int32_t>(right, static_cast<std::int32_t>(x) + 1);
      top = std::min<std::int32_t>(top, static_cast<std::int32_t>(y));
      bottom = std::max<std::int32_t>(bottom, static_cast<std::int32_t>(y) + 1);
    }
  }
  if (left == INT32_MAX) return std::nullopt;
  // As the packing places the bitmap: its origin rounded to a pixel pair.
  const std::int32_t column = glyph.originX / 2 * 2 + placement.shiftX;
  const std::int32_t row = placement.baselineRow - glyph.originY;
  return InkBox{column + left, row + top, column + right, row + bottom};
}

Measured Measure(const StyleFitRequest& request, const GlyphSizeInfo& size, const GlyphStyle& style) {
  // Each glyph's box in a slot of its own, gathered in the characters' order.
  struct Slot {
    std::optional<InkBox> box;
    bool cjk = false;
  };
  std::vector<Slot> slots(request.characters.size());
  GlyphBatchRequest batchRequest;
  batchRequest.face = request.face;
  batchRequest.fallbackFaces = request.fallbackFaces;
  batchRequest.tasks = {GlyphTask{size, style}};
  batchRequest.characters = request.characters;
  batchRequest.ops = request.ops;
  batchRequest.threads = request.threads;
  GlyphBatch batch(
      std::move(batchRequest),
      [&](std::size_t, std::size_t index, const std::optional<RenderedGlyph>& glyph, const CellPlacement& placement) {
        if (!glyph) return;
        slots[index].box = InkOf(glyph->bitmap, placement);
        slots[index].cjk = !glyph->missing && IsCjkIdeograph(request.characters[index]);
      });
  Measured measured;
  if (batch.Wait(0).status != GlyphRenderer::Status::kOk) return measured;
  for (const Slot& slot : slots) {
    if (!slot.box) continue;
    measured.boxes.push_back(*slot.box);
    if (slot.cjk) measured.cjkBoxes.push_back(*slot.box);
  }
  return measured;
}

std::int32_t Median(std::vector<std::int32_t> values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// Division rounding toward minus infinity, the same on every compiler.
std::int32_t FloorHalf(std::int32_t value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

// The offset that brings the middle of the median box to the cell's middle.
std::pair<std::int32_t, std::int32_t> CentringOffset(const std::vector<InkBox>& boxes, std::int32_t cellSize) {
  if (boxes.empty()) return {0, 0};
  std::vector<std::int32_t> left, right, top, bottom;
  for (const InkBox& b : boxes) {
    left.push_back(b.left);
    right.push_back(b.right);
    top.push_back(b.top);
    bottom.push_back(b.bottom);
  }
  return {FloorHalf(cellSize - Median(left) - Median(right)), FloorHalf(cellSize - Median(top) - Median(bottom))};
}

std::uint32_t CountCut(const std::vector<InkBox>& boxes, std::int32_t dx, std::int32_t dy, std::int32_t cellSize) {
  std::uint32_t cut = 0;
  for (const InkBox& b : boxes) {
    const bool inside = b.left + dx >= 0 && b.top + dy >= 0 && b.right + dx <= cellSize && b.bottom + dy <= cellSize;
    cut += inside ? 0 : 1;
  }
  return cut;
}

struct Trial {
  std::int32_t alignX = 0, alignY = 0;
  std::uint32_t cut = 0;
};

Trial Try(const StyleFitRequest& request, const GlyphSizeInfo& size, GlyphStyle style, std::int32_t emHeight,
          bool center) {
  style.emHeight = emHeight;
  const auto cellSize = static_cast<std::int32_t>(size.cellSize);
  Trial trial;
  if (!center) {
    trial.cut = CountCut(Measure(request, size, style).boxes, 0, 0, cellSize);
    return trial;
  }
  // Centring measures the glyphs' shapes: without the shift, which moves
  // them after the centring (measured with it, the offset would undo it),
  // and without the grey curve (which may fade the faintest pixels). The
  // baseline row moves the boxes and so the offset by the same rows: the
  // glyphs land where they would without it.
  const GlyphStyle measuredStyle = CentringMeasureStyle(style);
  const Measured measured = Measure(request, size, measuredStyle);
  std::tie(trial.alignX, trial.alignY) = CentringOffset(measured.cjkBoxes, cellSize);
  // Where the pass puts the glyphs: the centring offset, then the shift.
  trial.cut = CountCut(measured.boxes, trial.alignX + style.shiftX, trial.alignY + style.shiftY, cellSize);
  return trial;
}

}  // namespace

GlyphStyle CentringMeasureStyle(GlyphStyle style) {
  style.shiftX = style.shiftY = 0;
  style.gamma = 1.0;
  return style;
}

bool IsCjkIdeograph(std::uint16_t gbk) {
  const auto code = GbkCodeToUnicode(gbk);
  if (!code) return false;
  return (*code >= 0x4E00 && *code <= 0x9FFF) || (*code >= 0x3400 && *code <= 0x4DBF) ||
         (*code >= 0xF900 && *code <= 0xFAFF);
}

SizeFit FitSizeStyle(const StyleFitRequest& request, const GlyphSizeInfo& size, const GlyphStyle& style, bool fit,
                     bool center) {
  SizeFit result;
  result.emHeight = style.emHeight;
  if (!fit) {
    const Trial trial = Try(request, size, style, style.emHeight, center);
    result.alignX = trial.alignX;
    result.alignY = trial.alignY;
    result.cutCharacters = trial.cut;
    return result;
  }
  const auto limit = static_cast<std::uint32_t>(kFitCutShare * static_cast<double>(request.characters.size()));
  const auto cell = static_cast<std::int32_t>(size.cellSize);
  // Ink grows with the em height: the largest that keeps within the limit,
  // by halving between a size that surely fits and one that surely does not.
  std::int32_t low = std::max<std::int32_t>(4, cell / 2);
  std::int32_t high = cell * 3 / 2 + 1;
  Trial best = Try(request, size, style, low, center);
  while (high - low > 1) {
    const std::int32_t middle = low + (high - low) / 2;
    const Trial trial = Try(request, size, style, middle, center);
    if (trial.cut <= limit) {
      low = middle;
      best = trial;
    } else {
      high = middle;
    }
  }
  result.emHeight = low;
  result.alignX = best.alignX;
  result.alignY = best.alignY;
  result.cutCharacters = best.cut;
  return result;
}

}  // namespace qzf
