// The VDMX table of a TrueType font lists, per pixel size, the exact pixel
// extents of its glyphs above and below the baseline. GDI picks a font's
// pixel size from it when it has one: for a positive height (a cell height)
// the largest size whose extents add up to no more than the height, for a
// negative height (an em height) the entry of exactly that size.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace qzf {

struct VdmxEntry {
  int ppem = 0;
  int yMax = 0;  // pixels above the baseline
  int yMin = 0;  // pixels below it, negative
};

// table: the whole VDMX table as stored in the font. Nullopt when the table
// has no entry for the height (or is malformed): the size is then scaled
// from the font's ascent and descent.
std::optional<VdmxEntry> FindVdmxEntry(std::span<const std::uint8_t> table, int height);

}  // namespace qzf
