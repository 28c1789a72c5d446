#include "fontbuild/style_fit.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>
#include <optional>

#include "fontpatch/glyph_batch.h"
#include "platform/base/codepage.h"

namespace qzf {
namespace {

std::optional<InkBox> InkOf(const GlyphBitmap& glyph, const CellPlacement& placement) {
  const std::uint32_t pitch = GlyphRowPitch(glyph.width);
  if (pitch == 0) return std::nullopt;
  const std::uint32_t rows =
      std::min<std::uint32_t>(glyph.height, static_cast<std::uint32_t>(glyph.bytes.size() / pitch));
  std::int32_t left = INT32_MAX, right = INT32_MIN, top = INT32_MAX, bottom = INT32_MIN;
  const auto ink = [](unsigned char level) { return level != 0; };
  for (std::uint32_t y = 0; y < rows; ++y) {
    const unsigned char* row = glyph.bytes.data() + static_cast<std::size_t>(y) * pitch;
    // The row's first and last inked pixel: the pixels between them decide nothing.
    const unsigned char* first = std::find_if(row, row + pitch, ink);
    if (first == row + pitch) continue;
    const unsigned char* last =
        std::find_if(std::make_reverse_iterator(row + pitch), std::make_reverse_iterator(first), ink).base();
    left = std::min<std::int32_t>(left, static_cast<std::int32_t>(first - row));
    right = std::max<std::int32_t>(right, static_cast<std::int32_t>(last - row));
    top = std::min<std::int32_t>(top, static_cast<std::int32_t>(y));
    bottom = static_cast<std::int32_t>(y) + 1;
  }
  if (left == INT32_MAX) return std::nullopt;
  // As the packing places the bitmap: its origin rounded to a pixel pair.
  const std::int32_t column = glyph.originX / 2 * 2 + placement.shiftX;
  const std::int32_t row = placement.baselineRow - glyph.originY;
  return InkBox{column + left, row + top, column + right, row + bottom};
}

// When a trial may stop early: as soon as more than `limit` glyphs are cut
// wherever the centring puts them (their ink wider or taller than the cell;
// uncentred, outside it), the trial has failed whatever the other glyphs are.
struct GiveUp {
  bool center = false;
  std::uint32_t limit = 0;
};

bool SurelyCut(const InkBox& box, std::int32_t cellSize, bool center) {
  if (center) return box.right - box.left > cellSize || box.bottom - box.top > cellSize;
  return box.left < 0 || box.top < 0 || box.right > cellSize || box.bottom > cellSize;
}

// `gaveUp` set: drawing stopped early, the boxes are incomplete.
InkBoxes Draw(const StyleFitRequest& request, const GlyphSizeInfo& size, const GlyphStyle& style, const GiveUp* giveUp,
              bool& ok, bool& gaveUp) {
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
  const auto cellSize = static_cast<std::int32_t>(size.cellSize);
  std::atomic<std::uint32_t> surelyCut{0};
  std::atomic<bool> enough{false};
  std::atomic<bool> stopped{false};
  batchRequest.enough = &enough;
  GlyphBatch batch(
      std::move(batchRequest),
      [&](std::size_t, std::size_t index, const std::optional<RenderedGlyph>& glyph, const CellPlacement& placement) {
        if (request.stop && request.stop()) {
          stopped = true;
          enough = true;
        }
        if (!glyph) return;
        slots[index].box = InkOf(glyph->bitmap, placement);
        slots[index].cjk = !glyph->missing && IsCjkIdeograph(request.characters[index]);
        if (giveUp && slots[index].box && SurelyCut(*slots[index].box, cellSize, giveUp->center) &&
            surelyCut.fetch_add(1) + 1 > giveUp->limit)
          enough = true;
      });
  InkBoxes measured;
  ok = batch.Wait(0).status == GlyphRenderer::Status::kOk;
  if (stopped) throw FitStopped();
  gaveUp = enough;
  if (!ok || gaveUp) return measured;
  for (const Slot& slot : slots) {
    if (!slot.box) continue;
    measured.boxes.push_back(*slot.box);
    if (slot.cjk) measured.cjkBoxes.push_back(*slot.box);
  }
  return measured;
}

// The boxes of the glyphs drawn in `style`: kept ones when the request's
// cache has them.
// Null when it gave up.
std::shared_ptr<const InkBoxes> Measure(const StyleFitRequest& request, const GlyphSizeInfo& size,
                                        const GlyphStyle& style, const GiveUp* giveUp) {
  InkBoxKey key;
  if (request.cache) {
    key =
        InkBoxKey{request.face, request.fallbackFaces, request.characters, request.ops, style, style.FontHeight(size)};
    if (auto kept = request.cache->Find(key)) return kept;
  }
  bool ok = false, gaveUp = false;
  auto measured = std::make_shared<const InkBoxes>(Draw(request, size, style, giveUp, ok, gaveUp));
  if (gaveUp) return nullptr;
  // A face that could not be had is asked again next time.
  if (request.cache && ok) request.cache->Keep(std::move(key), measured);
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

// With `limit`, a trial whose cut surely exceeds it may stop early: it then
// tells a cut of limit + 1 and no offset.
Trial Try(const StyleFitRequest& request, const GlyphSizeInfo& size, GlyphStyle style, std::int32_t emHeight,
          bool center, std::optional<std::uint32_t> limit = std::nullopt) {
  style.emHeight = emHeight;
  const auto cellSize = static_cast<std::int32_t>(size.cellSize);
  Trial trial;
  const GiveUp giveUp{center, limit.value_or(0)};
  const GiveUp* mayGiveUp = limit ? &giveUp : nullptr;
  if (!center) {
    const auto measured = Measure(request, size, style, mayGiveUp);
    trial.cut = measured ? CountCut(measured->boxes, 0, 0, cellSize) : *limit + 1;
    return trial;
  }
  // Centring measures the glyphs' shapes: without the shift, which moves
  // them after the centring (measured with it, the offset would undo it),
  // and without the grey curve (which may fade the faintest pixels). The
  // baseline row moves the boxes and so the offset by the same rows: the
  // glyphs land where they would without it.
  const GlyphStyle measuredStyle = CentringMeasureStyle(style);
  const auto measured = Measure(request, size, measuredStyle, mayGiveUp);
  if (!measured) {
    trial.cut = *limit + 1;
    return trial;
  }
  std::tie(trial.alignX, trial.alignY) = CentringOffset(measured->cjkBoxes, cellSize);
  // Where the pass puts the glyphs: the centring offset, then the shift.
  trial.cut = CountCut(measured->boxes, trial.alignX + style.shiftX, trial.alignY + style.shiftY, cellSize);
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
  // The starting size is measured only when no larger one is chosen: its
  // measurement decides nothing else.
  std::optional<Trial> best;
  while (high - low > 1) {
    const std::int32_t middle = low + (high - low) / 2;
    const Trial trial = Try(request, size, style, middle, center, limit);
    if (trial.cut <= limit) {
      low = middle;
      best = trial;
    } else {
      high = middle;
    }
  }
  if (!best) best = Try(request, size, style, low, center);
  result.emHeight = low;
  result.alignX = best->alignX;
  result.alignY = best->alignY;
  result.cutCharacters = best->cut;
  return result;
}

}  // namespace qzf
