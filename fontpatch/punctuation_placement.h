// Where a full-width punctuation mark sits in its cell. The mark is drawn
// as the face draws it; then its ink box (the smallest rectangle holding
// every pixel with ink) is moved whole, so its shape and levels stay:
//   design    where the face puts it: nothing moves.
//   mainland  the lower left: the box's left edge at column M, its bottom
//             edge on the baseline (the box's last row is the row above the
//             baseline row), M = (S + 5) / 10: 2 px at 20 and 24 px, 6 px
//             at 64 px.
//   centred   the middle: the box's left edge at (S - w) / 2 and its top
//             edge at (S - h) / 2, rounded down, for a w x h box.
// A box that would leave the cell is held at its edge, so no ink is lost.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qzf {

enum class PunctuationPlacement { kDesign, kMainland, kCentred };

// "design", "mainland" or "centred"; nullopt for anything else.
std::optional<PunctuationPlacement> ParsePunctuationPlacement(std::string_view name);
const char* PunctuationPlacementName(PunctuationPlacement placement);

// Half-open pixel rectangle of a cell.
struct InkBox {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t width() const { return right - left; }
  std::int32_t height() const { return bottom - top; }
  bool operator==(const InkBox&) const = default;
};

// The ink box of an S x S cell of levels (rows top first); nullopt when the
// cell has no ink.
std::optional<InkBox> FindInkBox(std::span<const std::uint8_t> levels, std::uint32_t cellSize);

// Where the rule puts a box of the mark's size in a cell whose baseline is
// at row `baselineRow` (the row just below the glyphs' feet).
InkBox PlaceInkBox(PunctuationPlacement placement, const InkBox& box, std::uint32_t cellSize, std::int32_t baselineRow);

// Moves the cell's ink by the rule, in place; the box it ends in (nullopt
// for a cell without ink, which is left as it is).
std::optional<InkBox> PlacePunctuation(std::span<std::uint8_t> levels, std::uint32_t cellSize, std::int32_t baselineRow,
                                       PunctuationPlacement placement);

}  // namespace qzf
