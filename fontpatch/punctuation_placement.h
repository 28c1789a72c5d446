// Where a full-width punctuation mark sits in its cell. The mark is drawn
// as the face draws it; then its ink box (the smallest rectangle holding
// every pixel with ink; w x h) is moved whole, so its shape and levels stay.
// In an S x S cell whose baseline is at row A:
//   design    where the face puts it: nothing moves.
//   mainland  the lower left. A box whose centre lies left of the cell's
//             middle keeps its column; any other gets its left edge at
//             column M = S / 10 (2 px at 20 and 24 px, 6 at 64). A box no
//             taller than S / 2 whose centre lies below the middle keeps its
//             row; any other such box gets its last row on row A (top at
//             A + 1 - h). A taller box (? ! and the like) keeps its row. So a
//             face that sets its marks the mainland way keeps them where it
//             put them, and a face that centres them has them moved.
//   centred   the middle: left edge at (S - w) / 2, top edge at (S - h) / 2,
//             rounded down.
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

// Where the rule puts the box in a cell whose baseline is at row
// `baselineRow` (the glyph renderer's placement: a mark sitting on the
// baseline has its last ink row there).
InkBox PlaceInkBox(PunctuationPlacement placement, const InkBox& box, std::uint32_t cellSize, std::int32_t baselineRow);

// Moves the cell's ink by the rule, in place; the box it ends in (nullopt
// for a cell without ink, which is left as it is).
std::optional<InkBox> PlacePunctuation(std::span<std::uint8_t> levels, std::uint32_t cellSize, std::int32_t baselineRow,
                                       PunctuationPlacement placement);

}  // namespace qzf
