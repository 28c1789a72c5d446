// How the glyphs of one cell size are drawn and placed: the font asked for,
// where the glyph sits in its cell, and how its grey levels come out. The
// default style is the game file's own way: a font whose character cell is
// the cell size, at normal weight, its baseline at the font's ascent, 4-bit
// grey levels as the font calls give them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fontpatch/font_format.h"
#include "fontpatch/punctuation_placement.h"

namespace qzf {

struct GlyphStyle {
  // The em height in pixels (the font is asked for with the negative height);
  // 0: the character cell height equals the cell size.
  std::int32_t emHeight = 0;
  // The cell row of the baseline; none: the font's ascent.
  std::optional<std::int32_t> baseline;
  std::int32_t shiftX = 0;    // pixels right
  std::int32_t shiftY = 0;    // pixels down
  std::int32_t weight = 400;  // 100..900, as GDI takes it
  bool italic = false;
  // Two levels only (ink 15, background 0), from the font's 1-bit bitmaps.
  bool mono = false;
  // A curve on the levels: level' = 15 * (level / 15) ^ (1 / gamma); 1 keeps them.
  double gamma = 1.0;
  // Where the full-width punctuation marks sit (see punctuation_placement.h).
  PunctuationPlacement punctuation = PunctuationPlacement::kDesign;

  // The font height to ask for: the cell size, or the negative em height.
  std::int32_t FontHeight(const GlyphSizeInfo& size) const { return emHeight > 0 ? -emHeight : size.fontHeight; }
  bool operator==(const GlyphStyle&) const = default;
};

enum class GlyphAlign {
  kDesign,  // each glyph where its font puts it
  kCenter,  // one offset per size that centres the CJK ideographs' median ink box
};

// One character's own cells, over the font's style: drawn in a face and
// style of its own, or given as a picture drawn by hand. Keyed by the
// character (every cell the dictionary draws it in) or by a game code (that
// code's cell).
struct GlyphOverride {
  std::string key;                         // UTF-8, as written: "。" or "0x8142"
  std::string where;                       // for messages: `style.toml:7: glyph."。"`
  std::optional<std::uint16_t> character;  // GBK, lead byte high; or
  std::optional<std::uint16_t> code;       // one game code
  std::string face;                        // GBK; empty: the build's face
  // Per size: the font's style with the character's settings over it.
  std::array<GlyphStyle, SizeModeTable.size()> sizes{};
  // Per size: whether the character has its own em height (else a fit's applies).
  std::array<bool, SizeModeTable.size()> emHeightGiven{};
  // Per size: the picture's levels (S x S, rows top first); empty: drawn.
  std::array<std::vector<std::uint8_t>, SizeModeTable.size()> images;

  bool operator==(const GlyphOverride&) const = default;
};

// Everything a build takes beyond the face: a style per cell size, in the
// order of SizeModeTable, and the faces that draw what the face cannot.
struct BuildStyle {
  std::array<GlyphStyle, SizeModeTable.size()> sizes{};
  std::vector<std::string> fallbackFaces;  // GBK, in order
  std::vector<std::string> fontFiles;      // byte paths: usable for this build only
  GlyphAlign align = GlyphAlign::kDesign;
  // Per size, the largest em height at which at most 0.5 % of the
  // dictionary's characters lose ink at the cell edges.
  bool fit = false;
  // Single characters' own cells (see glyph_override.h), in key order.
  std::vector<GlyphOverride> glyphs;

  bool operator==(const BuildStyle&) const = default;
};

// The 17 levels a grey glyph bitmap holds (0..16), as the cell stores them
// after `gamma`: 16 lowered to 15, then the curve.
std::array<std::uint8_t, 17> GammaLevels(double gamma);

}  // namespace qzf
