#include "studio/glyph_workshop.h"

#include <algorithm>
#include <cstring>

#include "fontbuild/font_build.h"
#include "fontpatch/glyph_packing.h"

namespace qzf::studio {
namespace {

constexpr std::size_t kKeptRenderers = 8;
constexpr std::uint32_t kFindingsShare = 512;  // characters checked under the lock at once
constexpr std::size_t kKeptCentrings = 64;     // a few dozen numbers each
// The ink boxes of about three fits (a sixth of a megabyte each): a second
// fit of a style, or a fit through the em height a centred preview measured,
// draws nothing again.
constexpr std::size_t kKeptInkBoxes = 48;

// The size's constants with its table at offset 0: a buffer of one cell.
GlyphSizeInfo OneCellSize(std::size_t sizeIndex) {
  GlyphSizeInfo size = SizeModeTable[sizeIndex];
  size.tableOffset = 0;
  size.unindexedOffset = 0;
  return size;
}

std::vector<std::uint8_t> Unpack(const unsigned char* cell, const GlyphSizeInfo& size) {
  std::vector<std::uint8_t> levels(std::size_t{size.cellSize} * size.cellSize);
  for (std::uint32_t i = 0; i < size.bytesPerCell; ++i) {
    levels[2 * i] = cell[i] & 0x0F;
    levels[2 * i + 1] = cell[i] >> 4;
  }
  return levels;
}

template <typename Entry>
typename std::list<Entry>::iterator Find(std::list<Entry>& entries, const FaceStyle& faceStyle, std::size_t sizeIndex,
                                         const GlyphStyle& style) {
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (it->sizeIndex == sizeIndex && it->style == style && it->face == faceStyle.face &&
        it->fallbacks == faceStyle.style.fallbackFaces) {
      return it;
    }
  }
  return entries.end();
}

// What centring measures: the shape settings alone. The baseline is left
// out too: the centred glyphs land on the same rows whatever it is (it moves
// the measured boxes and so the offset by the same rows), so the pass draws
// without it.
GlyphStyle CentringKey(const GlyphStyle& style) {
  GlyphStyle key = CentringMeasureStyle(style);
  key.baseline.reset();
  return key;
}

}  // namespace

GlyphWorkshop::GlyphWorkshop(const StudioData& data, const GlyphRenderOps* ops)
    : data_(data), ops_(ops), inkBoxes_(kKeptInkBoxes) {}

RenderFace GlyphWorkshop::Resolve(const std::string& face) {
  auto it = faces_.find(face);
  if (it == faces_.end()) {
    const FaceCheck check = CheckFace(face.c_str(), ops_);
    it = faces_.emplace(face, RenderFace{face, check.exact ? check.charSet : GB2312_CHARSET}).first;
  }
  return it->second;
}

StyleFitRequest GlyphWorkshop::FitRequest(const FaceStyle& faceStyle) {
  StyleFitRequest request;
  request.face = Resolve(faceStyle.face);
  for (const std::string& fallback : faceStyle.style.fallbackFaces) request.fallbackFaces.push_back(Resolve(fallback));
  request.characters = data_.drawnCharacters();
  request.ops = ops_;
  request.cache = &inkBoxes_;
  return request;
}

void GlyphWorkshop::ForgetFaces() {
  std::lock_guard hold(lock_);
  faces_.clear();
  renderers_.clear();
  centrings_.clear();
  inkBoxes_.Clear();
}

GlyphStyle GlyphWorkshop::PassStyleLocked(const FaceStyle& faceStyle, std::size_t sizeIndex) {
  GlyphStyle style = faceStyle.style.sizes[sizeIndex];
  if (faceStyle.style.align != GlyphAlign::kCenter) return style;
  const GlyphStyle key = CentringKey(style);
  auto it = Find(centrings_, faceStyle, sizeIndex, key);
  if (it == centrings_.end()) {
    const StyleFitRequest request = FitRequest(faceStyle);
    Remember(faceStyle, sizeIndex, key, FitSizeStyle(request, SizeModeTable[sizeIndex], key, false, true));
    it = centrings_.begin();
  } else {
    centrings_.splice(centrings_.begin(), centrings_, it);
  }
  style.baseline.reset();
  style.shiftX += it->fit.alignX;
  style.shiftY += it->fit.alignY;
  return style;
}

void GlyphWorkshop::Remember(const FaceStyle& faceStyle, std::size_t sizeIndex, const GlyphStyle& key,
                             const SizeFit& fit) {
  if (auto it = Find(centrings_, faceStyle, sizeIndex, key); it != centrings_.end()) centrings_.erase(it);
  centrings_.push_front({faceStyle.face, faceStyle.style.fallbackFaces, sizeIndex, key, fit});
  if (centrings_.size() > kKeptCentrings) centrings_.pop_back();
}

GlyphStyle GlyphWorkshop::PassStyle(const FaceStyle& faceStyle, std::size_t sizeIndex) {
  std::lock_guard hold(lock_);
  return PassStyleLocked(faceStyle, sizeIndex);
}

GlyphRenderer* GlyphWorkshop::RendererFor(const FaceStyle& faceStyle, std::size_t sizeIndex,
                                          const GlyphStyle& passStyle) {
  auto it = Find(renderers_, faceStyle, sizeIndex, passStyle);
  if (it == renderers_.end()) {
    const StyleFitRequest faces = FitRequest(faceStyle);
    auto renderer =
        std::make_unique<GlyphRenderer>(faces.face, SizeModeTable[sizeIndex], passStyle, faces.fallbackFaces, ops_);
    if (renderer->status() != GlyphRenderer::Status::kOk) return nullptr;
    renderers_.push_front({faceStyle.face, faceStyle.style.fallbackFaces, sizeIndex, passStyle, std::move(renderer)});
    if (renderers_.size() > kKeptRenderers) renderers_.pop_back();
    return renderers_.front().renderer.get();
  }
  renderers_.splice(renderers_.begin(), renderers_, it);
  return it->renderer.get();
}

CellPicture GlyphWorkshop::Draw(GlyphRenderer& renderer, std::size_t sizeIndex, std::uint32_t position) {
  CellPicture cell;
  const auto character = data_.CharacterOfCode(data_.CodeAt(position));
  const auto glyph = character ? renderer.Render(*character) : std::nullopt;
  if (!glyph) {
    // Kept as the stock file has it, as the pass keeps it.
    const GlyphSizeInfo& size = SizeModeTable[sizeIndex];
    cell.levels.resize(std::size_t{size.cellSize} * size.cellSize);
    data_.stockCells().Levels(size, position, cell.levels);
    return cell;
  }
  const GlyphSizeInfo size = OneCellSize(sizeIndex);
  unsigned char packed[2048] = {};
  cell.cutPixels = PackGlyphIntoCell(std::span<unsigned char>(packed, size.bytesPerCell), size, 0, renderer.placement(),
                                     glyph->bitmap);
  cell.levels = Unpack(packed, size);
  cell.redrawn = true;
  cell.missing = glyph->missing;
  cell.face = glyph->face;
  return cell;
}

std::vector<CellPicture> GlyphWorkshop::Cells(const FaceStyle& faceStyle, std::size_t sizeIndex,
                                              const std::vector<std::uint32_t>& positions, bool& ok) {
  std::lock_guard hold(lock_);
  std::vector<CellPicture> cells;
  GlyphRenderer* renderer = RendererFor(faceStyle, sizeIndex, PassStyleLocked(faceStyle, sizeIndex));
  ok = renderer != nullptr;
  if (!ok) return cells;
  cells.reserve(positions.size());
  for (const std::uint32_t position : positions) cells.push_back(Draw(*renderer, sizeIndex, position));
  return cells;
}

std::array<SizeFindings, SizeModeTable.size()> GlyphWorkshop::Findings(const FaceStyle& faceStyle, bool& ok) {
  std::array<SizeFindings, SizeModeTable.size()> findings;
  ok = true;
  for (std::size_t s = 0; s < SizeModeTable.size(); ++s) {
    const GlyphSizeInfo size = OneCellSize(s);
    unsigned char packed[2048];
    SizeFindings& found = findings[s];
    // The lock is taken for a share of the characters at a time: a preview
    // asked for meanwhile waits for one share, not for the whole check.
    for (std::uint32_t first = 0; first < kIndexedGlyphCount; first += kFindingsShare) {
      std::lock_guard hold(lock_);
      GlyphRenderer* renderer = RendererFor(faceStyle, s, PassStyleLocked(faceStyle, s));
      if (!renderer) {
        ok = false;
        return findings;
      }
      const std::uint32_t end = std::min<std::uint32_t>(first + kFindingsShare, kIndexedGlyphCount);
      for (std::uint32_t position = first; position < end; ++position) {
        const auto character = data_.CharacterOfCode(data_.CodeAt(position));
        if (!character) continue;
        const auto glyph = renderer->Render(*character);
        if (!glyph) continue;
        ++found.redrawn;
        if (glyph->missing) {
          found.missing.push_back(position);
        } else if (glyph->face > 0) {
          found.fromFallback.push_back(position);
          found.fallbackOfPosition.push_back(glyph->face);
        }
        std::memset(packed, 0, size.bytesPerCell);
        if (const std::uint32_t dropped = PackGlyphIntoCell(std::span<unsigned char>(packed, size.bytesPerCell), size,
                                                            0, renderer->placement(), glyph->bitmap)) {
          found.cut.emplace_back(position, dropped);
        }
      }
    }
  }
  return findings;
}

std::array<SizeFit, SizeModeTable.size()> GlyphWorkshop::Fit(const FaceStyle& faceStyle) {
  std::lock_guard hold(lock_);
  std::array<SizeFit, SizeModeTable.size()> fits{};
  const StyleFitRequest request = FitRequest(faceStyle);
  for (std::size_t s = 0; s < SizeModeTable.size(); ++s) {
    // Fitted without a baseline, as the page then centres without one: the
    // centring of the chosen em height is known, and the redraw that
    // follows measures nothing.
    GlyphStyle style = CentringKey(faceStyle.style.sizes[s]);
    fits[s] = FitSizeStyle(request, SizeModeTable[s], style, true, true);
    style.emHeight = fits[s].emHeight;
    Remember(faceStyle, s, style, fits[s]);
  }
  return fits;
}

}  // namespace qzf::studio
