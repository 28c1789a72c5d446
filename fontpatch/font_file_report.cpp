#include "fontpatch/font_file_report.h"

#include <algorithm>
#include <cstring>

#include "fileutil/file_range.h"

namespace qzf {
namespace {

bool AllZero(const unsigned char* bytes, std::size_t n) {
  return std::all_of(bytes, bytes + n, [](unsigned char b) { return b == 0; });
}

bool SameBytes(std::span<const unsigned char> a, std::span<const unsigned char> b, std::uint64_t from,
               std::uint64_t to) {
  return std::memcmp(a.data() + from, b.data() + from, to - from) == 0;
}

}  // namespace

FontFileSummary SummarizeFontFile(std::span<const unsigned char> image) {
  FontFileSummary summary;
  summary.length = image.size();
  if (image.size() >= 4) summary.count = ReadGlyphCount(image.data());
  summary.accepted = IsAcceptedFontImage(image.data(), image.size());
  if (!summary.accepted) return summary;
  summary.extraBytes = image.size() - kFontFileLength;
  for (std::size_t t = 0; t < SizeModeTable.size(); ++t) {
    const GlyphSizeInfo& size = SizeModeTable[t];
    for (std::uint32_t cell = 0; cell < kIndexedGlyphCount; ++cell) {
      if (AllZero(image.data() + CellOffset(size, cell), size.bytesPerCell)) ++summary.blankCells[t];
    }
    for (std::uint32_t cell = 0; cell < kUnindexedCellCount; ++cell) {
      if (AllZero(image.data() + UnindexedCellOffset(size, cell), size.bytesPerCell)) ++summary.blankUnindexed[t];
    }
  }
  return summary;
}

FontFileDiff DiffFontFiles(std::span<const unsigned char> a, std::span<const unsigned char> b) {
  FontFileDiff diff;
  diff.headerDiffers = !SameBytes(a, b, 0, kCodeTableOffset + kCodeTableBytes);
  for (std::size_t t = 0; t < SizeModeTable.size(); ++t) {
    const GlyphSizeInfo& size = SizeModeTable[t];
    if (!SameBytes(a, b, size.unindexedOffset, size.tableOffset)) diff.unindexedDiffers = true;
    for (std::uint32_t cell = 0; cell < kIndexedGlyphCount; ++cell) {
      const std::uint64_t offset = CellOffset(size, cell);
      if (!SameBytes(a, b, offset, offset + size.bytesPerCell)) diff.changedCells[t].push_back(cell);
    }
  }
  diff.tailDiffers = a.size() != b.size() || !SameBytes(a, b, kFontFileLength, a.size());
  return diff;
}

std::optional<std::vector<unsigned char>> ReadWholeFile(const char* path) {
  ReadFileRangeArgs args;
  args.path = path;
  const std::uint32_t length = ReadFileRange(args);
  if (length == kFileRangeFailed) return std::nullopt;
  std::vector<unsigned char> bytes(length);
  args.buffer = bytes.data();
  args.size = length;
  if (length != 0 && ReadFileRange(args) != length) return std::nullopt;
  return bytes;
}

std::vector<std::uint8_t> CellLevels(std::span<const unsigned char> image, const GlyphSizeInfo& size,
                                     std::uint32_t cell) {
  std::vector<std::uint8_t> levels(std::size_t{size.cellSize} * size.cellSize);
  for (std::uint32_t y = 0; y < size.cellSize; ++y) {
    for (std::uint32_t x = 0; x < size.cellSize; ++x) {
      levels[std::size_t{y} * size.cellSize + x] = ReadPixel(image, size, cell, x, y);
    }
  }
  return levels;
}

std::string CellTextArt(std::span<const unsigned char> image, const GlyphSizeInfo& size, std::uint32_t cell) {
  static constexpr char kShades[] = " .:-=+*#%@";
  const std::vector<std::uint8_t> levels = CellLevels(image, size, cell);
  std::string art;
  for (std::uint32_t y = 0; y < size.cellSize; ++y) {
    for (std::uint32_t x = 0; x < size.cellSize; ++x) {
      const std::uint8_t level = levels[std::size_t{y} * size.cellSize + x];
      // Two characters a pixel keep the glyph's proportions on a terminal.
      const char shade = kShades[(level * 9 + 14) / 15];
      art += shade;
      art += shade;
    }
    art += '\n';
  }
  return art;
}

std::optional<std::uint32_t> FindCodePosition(std::span<const unsigned char> image, std::uint16_t code) {
  if (image.size() < kCodeTableOffset + kCodeTableBytes) return std::nullopt;
  for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
    if (CodeAt(image.data(), i) == code) return i;
  }
  return std::nullopt;
}

}  // namespace qzf
