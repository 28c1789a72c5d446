// check, diff and cell: looking into font files.
#include <cstdio>
#include <memory>

#include "cli/cli_language.h"
#include "cli/commands.h"
#include "cli/input_files.h"
#include "cli/library_path.h"
#include "cli/png_output.h"
#include "cli/terminal.h"
#include "fontbuild/report_records.h"
#include "fontpatch/blank_character_cells.h"
#include "fontpatch/font_file_report.h"
#include "platform/base/codepage.h"

namespace qzf::cli {
namespace {

void Line(const std::string& text) { std::printf("%s\n", text.c_str()); }

std::string Hex(std::uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(code));
  return text;
}

struct CheckOptions {
  std::string file;
  std::string dict;
  bool json = false;
};

void PrintBlankCharacterCells(const std::array<std::vector<GlyphFinding>, SizeModeTable.size()>& found) {
  Line(Text(MessageId::kCheckBlankCharacterCells));
  for (std::size_t t = 0; t < SizeModeTable.size(); ++t) {
    Line(Text(MessageId::kCheckBlankCount, std::to_string(SizeModeTable[t].cellSize), std::to_string(found[t].size())));
    for (const GlyphFinding& f : found[t]) {
      const char gbk[2] = {static_cast<char>(f.character >> 8), static_cast<char>(f.character & 0xFF)};
      Line(Text(MessageId::kCheckBlankCell, Hex(f.code), std::to_string(f.position),
                GbkToUtf8Lossy(std::string_view(gbk, 2))));
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
    return Error(
        Text(MessageId::kNotGameFontNeeds, file, std::to_string(kIndexedGlyphCount), std::to_string(kFontFileLength)));
  }
  if (options.json) return 0;
  Line(Text(MessageId::kCheckLength, file, std::to_string(summary.length), std::to_string(summary.count)));
  Line(Text(MessageId::kCheckAccepted, std::to_string(kIndexedGlyphCount)));
  if (summary.extraBytes) Line(Text(MessageId::kCheckExtraBytes, std::to_string(summary.extraBytes)));
  for (std::size_t t = 0; t < 3; ++t) {
    Line(Text(MessageId::kCheckBlankCells, std::to_string(SizeModeTable[t].cellSize),
              std::to_string(summary.blankCells[t]), std::to_string(kIndexedGlyphCount),
              std::to_string(summary.blankUnindexed[t]), std::to_string(kUnindexedCellCount)));
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
    if (!IsAcceptedFontImage(bytes.data(), bytes.size())) return Error(Text(MessageId::kNotGameFont, *file));
  }
  const FontFileDiff diff = DiffFontFiles(*first, *second);
  if (json) {
    std::fputs(DiffRecordJson(a, b, diff).c_str(), stdout);
    return 0;
  }
  for (std::size_t t = 0; t < 3; ++t) {
    Line(Text(MessageId::kDiffCells, std::to_string(SizeModeTable[t].cellSize),
              std::to_string(diff.changedCells[t].size())));
  }
  const bool outside = diff.headerDiffers || diff.unindexedDiffers || diff.tailDiffers;
  std::string how = Text(outside ? MessageId::kDiffDiffers : MessageId::kDiffIdentical);
  if (diff.headerDiffers) how += Text(MessageId::kDiffHeader);
  if (diff.unindexedDiffers) how += Text(MessageId::kDiffUnindexed);
  if (diff.tailDiffers) how += Text(MessageId::kDiffTail);
  Line(Text(MessageId::kDiffOutside, how));
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
  if (!size) return Error(Text(MessageId::kSizeChoices));
  int status = 0;
  const auto bytes = LoadInputFile(options.file, status);
  if (!bytes) return status;
  if (!IsAcceptedFontImage(bytes->data(), bytes->size())) return Error(Text(MessageId::kNotGameFont, options.file));
  std::uint32_t cell = 0;
  if (!options.code.empty()) {
    unsigned long code = 0;
    try {
      std::size_t used = 0;
      code = std::stoul(options.code, &used, 16);
      if (used != options.code.size() || code > 0xFFFF) throw std::invalid_argument("code");
    } catch (const std::exception&) {
      return Error(Text(MessageId::kCodeNotHex));
    }
    const auto position = FindCodePosition(*bytes, static_cast<std::uint16_t>(code));
    if (!position) return Error(Text(MessageId::kNoCellWithCode, options.code));
    cell = *position;
  } else if (options.index >= 0 && options.index < kIndexedGlyphCount) {
    cell = static_cast<std::uint32_t>(options.index);
  } else {
    return Error(Text(MessageId::kGiveIndexOrCode, std::to_string(kIndexedGlyphCount - 1)));
  }
  Line(Text(MessageId::kCellHeading, std::to_string(cell), Hex(CodeAt(bytes->data(), cell)),
            std::to_string(size->cellSize)));
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
