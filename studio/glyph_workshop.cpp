#include "studio/glyph_workshop.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "fontbuild/font_build.h"
#include "fontpatch/fullwidth_punctuation.h"
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

const SizeFit& GlyphWorkshop::CentringLocked(const FaceStyle& faceStyle, std::size_t sizeIndex, const GlyphStyle& key) {
  auto it = Find(centrings_, faceStyle, sizeIndex, key);
  if (it == centrings_.end()) {
    const StyleFitRequest request = FitRequest(faceStyle);
    Remember(faceStyle, sizeIndex, key, FitSizeStyle(request, SizeModeTable[sizeIndex], key, false, true));
    return centrings_.front().fit;
  }
  centrings_.splice(centrings_.begin(), centrings_, it);
  return it->fit;
}

GlyphStyle GlyphWorkshop::PassStyleLocked(const FaceStyle& faceStyle, std::size_t sizeIndex) {
  GlyphStyle style = faceStyle.style.sizes[sizeIndex];
  if (faceStyle.style.align != GlyphAlign::kCenter) return style;
  const SizeFit& fit = CentringLocked(faceStyle, sizeIndex, CentringKey(style));
  style.baseline.reset();
  style.shiftX += fit.alignX;
  style.shiftY += fit.alignY;
  return style;
}

const GlyphOverride* GlyphWorkshop::OwnGlyphAt(const FaceStyle& faceStyle, std::uint32_t position) const {
  const std::vector<GlyphOverride>& glyphs = faceStyle.style.glyphs;
  if (glyphs.empty()) return nullptr;
  const std::uint16_t code = data_.CodeAt(position);
  const auto character = data_.CharacterOfCode(code);
  const GlyphOverride* byCharacter = nullptr;
  for (const GlyphOverride& glyph : glyphs) {
    if (glyph.code == code) return &glyph;
    if (character && glyph.character == character && !byCharacter) byCharacter = &glyph;
  }
  return byCharacter;
}

bool GlyphWorkshop::DrawOwn(const FaceStyle& faceStyle, const GlyphOverride& own, std::size_t sizeIndex,
                            std::uint32_t position, CellPicture& cell) {
  if (!own.images[sizeIndex].empty()) {
    cell = CellPicture{own.images[sizeIndex], true, false, 0, 0};
    return true;
  }
  // As the build draws it: the character's style, moved by the font's
  // centring offset (measured with the font's baseline, as the build
  // measures it; without one, the offset the font's own cells use).
  GlyphStyle style = own.sizes[sizeIndex];
  if (faceStyle.style.align == GlyphAlign::kCenter) {
    const SizeFit& fit = CentringLocked(faceStyle, sizeIndex, CentringMeasureStyle(faceStyle.style.sizes[sizeIndex]));
    style.shiftX += fit.alignX;
    style.shiftY += fit.alignY;
  }
  FaceStyle drawnWith = faceStyle;
  drawnWith.style.glyphs.clear();
  if (!own.face.empty()) drawnWith.face = own.face;
  GlyphRenderer* renderer = RendererFor(drawnWith, sizeIndex, style);
  if (!renderer) return false;
  cell = Draw(*renderer, sizeIndex, position, style.punctuation);
  return true;
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

CellPicture GlyphWorkshop::Draw(GlyphRenderer& renderer, std::size_t sizeIndex, std::uint32_t position,
                                PunctuationPlacement punctuation) {
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
  // The full-width marks moved whole, as the build's cells move them.
  if (punctuation != PunctuationPlacement::kDesign && FindFullWidthMark(*character))
    PlacePunctuation(cell.levels, size.cellSize, renderer.placement().baselineRow, punctuation);
  cell.redrawn = true;
  cell.missing = glyph->missing;
  cell.face = glyph->face;
  return cell;
}

std::vector<CellPicture> GlyphWorkshop::Cells(const FaceStyle& faceStyle, std::size_t sizeIndex,
                                              const std::vector<std::uint32_t>& positions, bool& ok) {
  std::lock_guard hold(lock_);
  std::vector<CellPicture> cells;
  const GlyphStyle passStyle = PassStyleLocked(faceStyle, sizeIndex);
  ok = RendererFor(faceStyle, sizeIndex, passStyle) != nullptr;
  if (!ok) return cells;
  cells.reserve(positions.size());
  for (const std::uint32_t position : positions) {
    if (const GlyphOverride* own = OwnGlyphAt(faceStyle, position)) {
      ok = DrawOwn(faceStyle, *own, sizeIndex, position, cells.emplace_back());
      if (!ok) return cells;
      continue;
    }
    // Looked up each time: a character's own renderer may have pushed it out.
    GlyphRenderer* renderer = RendererFor(faceStyle, sizeIndex, passStyle);
    ok = renderer != nullptr;
    if (!ok) return cells;
    cells.push_back(Draw(*renderer, sizeIndex, position, passStyle.punctuation));
  }
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
        if (OwnGlyphAt(faceStyle, position)) continue;  // below, as its own table draws it
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
    if (!faceStyle.style.glyphs.empty() && !OwnFindings(faceStyle, s, found)) {
      ok = false;
      return findings;
    }
  }
  return findings;
}

bool GlyphWorkshop::OwnFindings(const FaceStyle& faceStyle, std::size_t sizeIndex, SizeFindings& found) {
  std::lock_guard hold(lock_);
  std::vector<std::uint32_t> owned;
  for (std::uint32_t position = 0; position < kIndexedGlyphCount; ++position)
    if (OwnGlyphAt(faceStyle, position)) owned.push_back(position);
  for (const std::uint32_t position : owned) {
    CellPicture cell;
    if (!DrawOwn(faceStyle, *OwnGlyphAt(faceStyle, position), sizeIndex, position, cell)) return false;
    if (!cell.redrawn) continue;
    ++found.redrawn;
    if (cell.missing) {
      found.missing.push_back(position);
    } else if (cell.face > 0) {
      found.fromFallback.push_back(position);
      found.fallbackOfPosition.push_back(cell.face);
    }
    if (cell.cutPixels) found.cut.emplace_back(position, cell.cutPixels);
  }
  // In the order of the positions, as the rest.
  auto byPosition = [](auto& list) { std::sort(list.begin(), list.end()); };
  byPosition(found.missing);
  byPosition(found.cut);
  std::vector<std::pair<std::uint32_t, std::size_t>> fallback;
  for (std::size_t k = 0; k < found.fromFallback.size(); ++k)
    fallback.emplace_back(found.fromFallback[k], found.fallbackOfPosition[k]);
  byPosition(fallback);
  for (std::size_t k = 0; k < fallback.size(); ++k)
    std::tie(found.fromFallback[k], found.fallbackOfPosition[k]) = fallback[k];
  return true;
}

std::array<SizeFit, SizeModeTable.size()> GlyphWorkshop::Fit(const FaceStyle& faceStyle) {
  std::lock_guard hold(lock_);
  return FitLocked(faceStyle, nullptr);
}

bool GlyphWorkshop::FitAhead(const FaceStyle& faceStyle) {
  std::unique_lock hold(lock_, std::try_to_lock);
  if (!hold.owns_lock()) return false;
  try {
    FitLocked(faceStyle, [this] { return lock_.Wanted(); });
  } catch (const FitStopped&) {
    return false;
  }
  return true;
}

std::array<SizeFit, SizeModeTable.size()> GlyphWorkshop::FitLocked(const FaceStyle& faceStyle,
                                                                   std::function<bool()> stop) {
  std::array<SizeFit, SizeModeTable.size()> fits{};
  StyleFitRequest request = FitRequest(faceStyle);
  request.stop = std::move(stop);
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
