// check, diff and cell: looking into font files.
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/input_files.h"
#include "cli/library_path.h"
#include "cli/png_output.h"
#include "cli/terminal.h"
#include "fontbuild/report_records.h"
#include "fontpatch/blank_character_cells.h"
#include "fontpatch/font_file_report.h"
#include "platform/portable/codepage.h"

namespace qzf::cli {
namespace {

const char* kSizeNames[] = {"20 px", "24 px", "64 px"};

struct CheckOptions {
  std::string file;
  std::string dict;
  bool json = false;
};

void PrintBlankCharacterCells(const std::array<std::vector<GlyphFinding>, SizeModeTable.size()>& found) {
  std::printf("blank cells the dictionary gives a character:\n");
  for (std::size_t t = 0; t < SizeModeTable.size(); ++t) {
    std::printf("  %s: %zu\n", kSizeNames[t], found[t].size());
    for (const GlyphFinding& f : found[t]) {
      const char gbk[2] = {static_cast<char>(f.character >> 8), static_cast<char>(f.character & 0xFF)};
      std::printf("    0x%04X at position %u: %s\n", static_cast<unsigned>(f.code), static_cast<unsigned>(f.position),
                  GbkToUtf8Lossy(std::string_view(gbk, 2)).c_str());
    }
  }
}

int RunCheck(const CheckOptions& options) {
  const std::string& file = options.file;
  int status = 0;
  const auto bytes = LoadInputFile(file, status);
  if (!bytes) return status;
  std::optional<QorvStringDict> dictionary;
  if (!options.dict.empty() && !LoadInputDictionary(dictionary.emplace(), options.dict, status)) return status;
  const FontFileSummary summary = SummarizeFontFile(*bytes);
  std::optional<std::array<std::vector<GlyphFinding>, SizeModeTable.size()>> blank;
  if (dictionary && summary.accepted) blank = FindBlankCharacterCells(*bytes, *dictionary);
  if (options.json) std::fputs(CheckRecordJson(file, summary, blank).c_str(), stdout);
  if (!summary.accepted) {
    return Error(file + " is not a game font file: it needs a glyph count of " + std::to_string(kIndexedGlyphCount) +
                 " and at least " + std::to_string(kFontFileLength) + " bytes");
  }
  if (options.json) return 0;
  std::printf("%s: %llu bytes, glyph count %u\n", file.c_str(), static_cast<unsigned long long>(summary.length),
              static_cast<unsigned>(summary.count));
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
  if (blank) PrintBlankCharacterCells(*blank);
  return 0;
}

int RunDiff(const std::string& a, const std::string& b, bool json) {
  int status = 0;
  const auto first = LoadInputFile(a, status);
  if (!first) return status;
  const auto second = LoadInputFile(b, status);
  if (!second) return status;
  for (const auto* file : {&a, &b}) {
    const auto& bytes = file == &a ? *first : *second;
    if (!IsAcceptedFontImage(bytes.data(), bytes.size())) return Error(*file + " is not a game font file");
  }
  const FontFileDiff diff = DiffFontFiles(*first, *second);
  if (json) {
    std::fputs(DiffRecordJson(a, b, diff).c_str(), stdout);
    return 0;
  }
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
  const auto bytes = LoadInputFile(options.file, status);
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

CommandDescription CheckCommand(int& status) {
  auto options = std::make_shared<CheckOptions>();
  CommandDescription check{"check", "Test a font file and summarise it"};
  check.options = {{"FILE", "An F_FONTJ.qzf", &options->file, true},
                   {"--dict", "Also list blank cells this dictionary gives a character", &options->dict},
                   {"--json", "Print the summary as JSON", &options->json}};
  check.run = [options, &status] { status = RunCheck(*options); };
  return check;
}

CommandDescription DiffCommand(int& status) {
  auto files = std::make_shared<std::pair<std::string, std::string>>();
  auto json = std::make_shared<bool>(false);
  CommandDescription diff{"diff", "Cells that differ between two font files, per table"};
  diff.options = {{"A", "First font file", &files->first, true},
                  {"B", "Second font file", &files->second, true},
                  {"--json", "Print the differences as JSON, with the positions of the cells", json.get()}};
  diff.run = [files, json, &status] { status = RunDiff(files->first, files->second, *json); };
  return diff;
}

CommandDescription CellCommand(int& status) {
  auto options = std::make_shared<CellOptions>();
  CommandDescription cell{"cell", "Show one glyph cell as text art or as a PNG"};
  cell.options = {{"FILE", "A font file", &options->file, true},
                  {"--size", "Cell size: 20, 24 or 64", &options->size, false, true},
                  {"--index", "Code-table position", &options->index},
                  {"--code", "Game code, e.g. 0x82A0", &options->code},
                  {"--png", "Write a PNG instead of text art", &options->png},
                  {"--scale", "PNG pixels per cell pixel", &options->scale, false, true,
                   std::pair<std::int64_t, std::int64_t>{1, 64}}};
  cell.options[2].excludes = "--code";
  cell.run = [options, &status] { status = RunCell(*options); };
  return cell;
}

}  // namespace qzf::cli
