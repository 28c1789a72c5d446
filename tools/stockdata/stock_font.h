// The stand-in for the game's font file: the code table, and in each of the
// three sizes 93 unindexed cells of small Latin letters and digits and one
// cell per code with its code-page-932 character.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/stockdata/code_pages.h"
#include "tools/stockdata/glyph_rasterizer.h"

namespace qzf::stock {

// The whole file, 20,113,468 bytes. Codes without a character, and characters
// the font cannot draw or draws blank at a size, get a box outline, so that
// the only blank indexed cells are the three the game's file leaves blank
// (positions 0, 571 and 594). Throws std::runtime_error when FreeType fails.
std::vector<unsigned char> BuildStockFont(const std::vector<std::uint16_t>& codes, const CodePages& codePages,
                                          GlyphRasterizer& rasterizer);

}  // namespace qzf::stock
