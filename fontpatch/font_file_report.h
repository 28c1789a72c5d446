// Summaries of whole font files for people: what the file test says, blank
// cells, and which cells two files differ in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fontpatch/font_format.h"

namespace qzf {

struct FontFileSummary {
  std::uint64_t length = 0;
  std::uint32_t count = 0;  // 0 when the file is shorter than 4 bytes
  bool accepted = false;
  std::uint64_t extraBytes = 0;                   // past the game's length
  std::array<std::uint32_t, 3> blankCells{};      // all-zero indexed cells per table; accepted files only
  std::array<std::uint32_t, 3> blankUnindexed{};  // all-zero unindexed cells per block
};
FontFileSummary SummarizeFontFile(std::span<const unsigned char> image);

struct FontFileDiff {
  std::array<std::vector<std::uint32_t>, 3> changedCells;  // per table, the positions that differ
  bool headerDiffers = false;                              // count field or code table
  bool unindexedDiffers = false;                           // any of the 93 cells of a block
  bool tailDiffers = false;                                // bytes past the game's length, or the lengths
};
// Both images must pass the font file test.
FontFileDiff DiffFontFiles(std::span<const unsigned char> a, std::span<const unsigned char> b);

// Reads a whole file through the ranged read; nullopt when it cannot.
std::optional<std::vector<unsigned char>> ReadWholeFile(const char* path);

// The cell as grey levels, row by row (S x S values 0..15).
std::vector<std::uint8_t> CellLevels(std::span<const unsigned char> image, const GlyphSizeInfo& size,
                                     std::uint32_t cell);

// The cell drawn with characters, one line per row: ' ' for 0 up to '@'.
std::string CellTextArt(std::span<const unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell);

// The first code-table position that holds `code`, if any.
std::optional<std::uint32_t> FindCodePosition(std::span<const unsigned char> image, std::uint16_t code);

}  // namespace qzf
