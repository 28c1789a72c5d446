#include "tools/stockdata/stock_font.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "fontpatch/font_format.h"
#include "tools/stockdata/code_table.h"

namespace qzf::stock {
namespace {

// The game's file has nothing drawn at these positions (0x8140, the
// ideographic space, and 0x8770 and 0x8790).
constexpr std::array<std::uint32_t, 3> kBlankPositions{0, 571, 594};

constexpr std::string_view kQuadrantAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";

void PutLittleEndian(unsigned char* out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Up to four half-size characters in two rows of two quadrants.
GreyCell DrawUnindexedCell(GlyphRasterizer& rasterizer, std::uint32_t size, std::uint32_t index) {
  GreyCell cell(size);
  const int half = static_cast<int>(size / 2);
  const std::uint32_t images = 1 + index % 4;
  for (std::uint32_t q = 0; q < images; ++q) {
    const char32_t c = static_cast<unsigned char>(kQuadrantAlphabet[(4 * index + q) % kQuadrantAlphabet.size()]);
    if (!rasterizer.Draw(cell, c, half, static_cast<int>(q % 2) * half, static_cast<int>(q / 2) * half)) {
      throw std::runtime_error("FreeType cannot draw a quadrant letter");
    }
  }
  if (cell.IsBlank()) throw std::runtime_error("an unindexed cell came out blank");
  return cell;
}

GreyCell DrawIndexedCell(GlyphRasterizer& rasterizer, std::uint32_t size, std::optional<char32_t> c) {
  GreyCell cell(size);
  if (c && rasterizer.HasGlyph(*c)) {
    if (!rasterizer.Draw(cell, *c, static_cast<int>(size), 0, 0)) {
      throw std::runtime_error("FreeType cannot draw U+" + std::to_string(static_cast<unsigned long>(*c)));
    }
  }
  if (cell.IsBlank()) cell.DrawBox();
  return cell;
}

}  // namespace

std::vector<unsigned char> BuildStockFont(const std::vector<std::uint16_t>& codes, const CodePages& codePages,
                                          GlyphRasterizer& rasterizer) {
  if (codes.size() != kIndexedGlyphCount) throw std::runtime_error("the code table must hold 7832 codes");
  std::vector<unsigned char> file(kFontFileLength, 0);
  PutLittleEndian(file.data() + kCountOffset, kIndexedGlyphCount, 4);
  for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
    PutLittleEndian(file.data() + kCodeTableOffset + 2 * i, codes[i], 2);
  }

  std::vector<std::optional<char32_t>> characters;
  characters.reserve(codes.size());
  for (std::uint16_t code : codes) characters.push_back(GameCharacter(codePages, code));

  for (const GlyphSizeInfo& size : SizeModeTable) {
    for (std::uint32_t k = 0; k < kUnindexedCellCount; ++k) {
      DrawUnindexedCell(rasterizer, size.cellSize, k).PackInto(file.data() + UnindexedCellOffset(size, k));
    }
    for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
      if (std::find(kBlankPositions.begin(), kBlankPositions.end(), i) != kBlankPositions.end()) continue;
      DrawIndexedCell(rasterizer, size.cellSize, characters[i]).PackInto(file.data() + CellOffset(size, i));
    }
  }
  return file;
}

}  // namespace qzf::stock
