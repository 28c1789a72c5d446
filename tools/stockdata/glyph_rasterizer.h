// Draws characters of one font file into grey cells with FreeType.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "tools/stockdata/grey_cell.h"

namespace qzf::stock {

class GlyphRasterizer {
 public:
  // Throws std::runtime_error when FreeType cannot open the file.
  explicit GlyphRasterizer(const std::string& fontFile);
  ~GlyphRasterizer();
  GlyphRasterizer(const GlyphRasterizer&) = delete;
  GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;

  bool HasGlyph(char32_t c) const;

  // Draws c at `height` pixels (ascent plus descent) into the square of that
  // size whose top-left corner is (left, top) of the cell: the baseline lies
  // the font's ascent below the square's top, the pen at its left edge.
  // Whatever falls outside that square is dropped. False when FreeType fails.
  bool Draw(GreyCell& cell, char32_t c, int height, int left, int top);

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  int pixelHeight_ = 0;
};

}  // namespace qzf::stock
