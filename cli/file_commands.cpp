// check, diff and cell: looking into font files.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/commands.h"
#include "cli/library_path.h"
#include "cli/png_output.h"
#include "cli/terminal.h"
#include "fontpatch/font_file_report.h"

namespace qzf::cli {
namespace {

std::optional<std::vector<unsigned char>> LoadFontFile(const std::string& utf8Path, int& status) {
  const auto path = LibraryPath(utf8Path, PathUse::kFileCalls);
  if (!path) {
    status = 1;
    return std::nullopt;
  }
  auto bytes = ReadWholeFile(path->c_str());
  if (!bytes) status = Error("cannot read " + utf8Path);
  return bytes;
}

const char* kSizeNames[] = {"20 px", "24 px", "64 px"};

int RunCheck(const std::string& file) {
  int status = 0;
  const auto bytes = LoadFontFile(file, status);
  if (!bytes) return status;
  const FontFileSummary summary = SummarizeFontFile(*bytes);
  std::printf("%s: %llu bytes, glyph count %u\n", file.c_str(), static_cast<unsigned long long>(summary.length),
              static_cast<unsigned>(summary.count));
  if (!summary.accepted) {
    return Error(file + " is not a game font file: it needs a glyph count of " + std::to_string(kIndexedGlyphCount) +
                 " and at least " + std::to_string(kFontFileLength) + " bytes");
  }
  std::printf("accepted: the game font file layout (%u codes, cells at 20, 24 and 64 px)\n",
              static_cast<unsigned>(kIndexedGlyphCount));
  if (summary.extraBytes) {
    std::printf("%llu bytes past the glyph tables\n", static_cast<unsigned long long>(summary.extraBytes));
  }
  for (std::size_t t = 0; t < 3; ++t) {
    std::printf("  %s: %u blank cells of %u, %u blank unindexed cells of %u\n", kSizeNames[t],
                static_cast<unsigned>(summary.blankCells[t]), static_cast<unsigned>(kIndexedGlyphCount),
                static_cast<unsigned>(summary.blankUnindexed[t]), static_cast<unsigned>(kUnindexedCellCount));
  }
  return 0;
}

int RunDiff(const std::string& a, const std::string& b) {
  int status = 0;
  const auto first = LoadFontFile(a, status);
  if (!first) return status;
  const auto second = LoadFontFile(b, status);
  if (!second) return status;
  for (const auto* file : {&a, &b}) {
    const auto& bytes = file == &a ? *first : *second;
    if (!IsAcceptedFontImage(bytes.data(), bytes.size())) return Error(*file + " is not a game font file");
  }
  const FontFileDiff diff = DiffFontFiles(*first, *second);
  for (std::size_t t = 0; t < 3; ++t) {
    std::printf("%s: %zu cells differ\n", kSizeNames[t], diff.changedCells[t].size());
  }
  const bool outside = diff.headerDiffers || diff.unindexedDiffers || diff.tailDiffers;
  std::printf("outside the tables: %s\n",
              outside ? (std::string("differs") + (diff.headerDiffers ? " (count or code table)" : "") +
                         (diff.unindexedDiffers ? " (unindexed cells)" : "") +
                         (diff.tailDiffers ? " (length or trailing bytes)" : ""))
                            .c_str()
                      : "identical");
  return 0;
}

struct CellOptions {
  std::string file;
  int size = 24;
  std::int64_t index = -1;
  std::string code;
  std::string png;
  int scale = 8;
};

int RunCell(const CellOptions& options) {
  const GlyphSizeInfo* size = nullptr;
  for (const GlyphSizeInfo& s : SizeModeTable) {
    if (static_cast<int>(s.cellSize) == options.size) size = &s;
  }
  if (!size) return Error("--size must be 20, 24 or 64");
  int status = 0;
  const auto bytes = LoadFontFile(options.file, status);
  if (!bytes) return status;
  if (!IsAcceptedFontImage(bytes->data(), bytes->size())) return Error(options.file + " is not a game font file");
  std::uint32_t cell = 0;
  if (!options.code.empty()) {
    unsigned long code = 0;
    try {
      std::size_t used = 0;
      code = std::stoul(options.code, &used, 16);
      if (used != options.code.size() || code > 0xFFFF) throw std::invalid_argument("code");
    } catch (const std::exception&) {
      return Error("--code takes a hexadecimal game code such as 0x82A0");
    }
    const auto position = FindCodePosition(*bytes, static_cast<std::uint16_t>(code));
    if (!position) return Error("no cell has the code " + options.code);
    cell = *position;
  } else if (options.index >= 0 && options.index < kIndexedGlyphCount) {
    cell = static_cast<std::uint32_t>(options.index);
  } else {
    return Error("give --index 0.." + std::to_string(kIndexedGlyphCount - 1) + " or --code 0xHHHH");
  }
  std::printf("cell %u, code 0x%04X, %u px\n", static_cast<unsigned>(cell),
              static_cast<unsigned>(CodeAt(bytes->data(), cell)), static_cast<unsigned>(size->cellSize));
  if (options.png.empty()) {
    std::fputs(CellTextArt(*bytes, *size, cell).c_str(), stdout);
    return 0;
  }
  const std::vector<std::uint8_t> levels = CellLevels(*bytes, *size, cell);
  return WriteGreyPng(options.png, levels, size->cellSize, size->cellSize, options.scale);
}

}  // namespace

void AddCheckCommand(CLI::App& app, int& status) {
  auto file = std::make_shared<std::string>();
  CLI::App* check = app.add_subcommand("check", "Test a font file and summarise it");
  check->add_option("FILE", *file, "An F_FONTJ.qzf")->required();
  check->callback([file, &status] { status = RunCheck(*file); });
}

void AddDiffCommand(CLI::App& app, int& status) {
  auto files = std::make_shared<std::pair<std::string, std::string>>();
  CLI::App* diff = app.add_subcommand("diff", "Cells that differ between two font files, per table");
  diff->add_option("A", files->first, "First font file")->required();
  diff->add_option("B", files->second, "Second font file")->required();
  diff->callback([files, &status] { status = RunDiff(files->first, files->second); });
}

void AddCellCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<CellOptions>();
  CLI::App* cell = app.add_subcommand("cell", "Show one glyph cell as text art or as a PNG");
  cell->add_option("FILE", options->file, "A font file")->required();
  cell->add_option("--size", options->size, "Cell size: 20, 24 or 64")->capture_default_str();
  auto* index = cell->add_option("--index", options->index, "Code-table position");
  auto* code = cell->add_option("--code", options->code, "Game code, e.g. 0x82A0");
  index->excludes(code);
  cell->add_option("--png", options->png, "Write a PNG instead of text art");
  cell->add_option("--scale", options->scale, "PNG pixels per cell pixel")
      ->capture_default_str()
      ->check(CLI::Range(1, 64));
  cell->callback([options, &status] { status = RunCell(*options); });
}

}  // namespace qzf::cli
