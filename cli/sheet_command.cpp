// sheet: one size's glyph cells as a picture an image editor opens, and the
// edited picture put back into a font file.
#include <cstdio>
#include <memory>

#include "cli/cli_language.h"
#include "cli/commands.h"
#include "cli/input_files.h"
#include "cli/library_path.h"
#include "cli/output_file.h"
#include "cli/terminal.h"
#include "fontpatch/font_file_report.h"
#include "platform/win32.h"
#include "preview/character_codes.h"
#include "preview/png_encoder.h"
#include "preview/sheet_cells.h"
#include "preview/sheet_index.h"
#include "preview/utf8_text.h"

namespace qzf::cli {
namespace {

// A sheet of every cell at 64 px is about 33 million pixels.
constexpr std::uint64_t kMaxSheetPixels = 48u << 20;

struct ExportOptions {
  std::string file;
  int size = 0;
  std::string png;
  std::string chars;
  std::string codes;
  std::string dict;
  int columns = 32;
};

struct ImportOptions {
  std::string file;
  std::string png;
  std::string out;
};

const GlyphSizeInfo* SizeOf(int cellSize) {
  for (const GlyphSizeInfo& s : SizeModeTable) {
    if (static_cast<int>(s.cellSize) == cellSize) return &s;
  }
  return nullptr;
}

// "FROM-TO" in hexadecimal, FROM <= TO.
std::optional<std::pair<std::uint16_t, std::uint16_t>> ParseCodeRange(const std::string& text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string::npos) return std::nullopt;
  const auto parse = [](const std::string& part) -> std::optional<std::uint16_t> {
    try {
      std::size_t used = 0;
      const unsigned long code = std::stoul(part, &used, 16);
      if (part.empty() || used != part.size() || code > 0xFFFF) return std::nullopt;
      return static_cast<std::uint16_t>(code);
    } catch (const std::exception&) {
      return std::nullopt;
    }
  };
  const auto from = parse(text.substr(0, dash));
  const auto to = parse(text.substr(dash + 1));
  if (!from || !to || *from > *to) return std::nullopt;
  return std::make_pair(*from, *to);
}

int RunExport(const ExportOptions& options) {
  const GlyphSizeInfo* size = SizeOf(options.size);
  if (!size) return Error(Text(MessageId::kSizeChoices));
  std::optional<std::pair<std::uint16_t, std::uint16_t>> range = std::make_pair(0, 0xFFFF);
  if (!options.codes.empty() && !(range = ParseCodeRange(options.codes))) return Error(Text(MessageId::kCodesRange));
  std::optional<std::u32string> text;
  if (!options.chars.empty() && !(text = DecodeUtf8(options.chars))) return Error(Text(MessageId::kCharsNotUtf8));
  int status = 0;
  const auto font = LoadInputFile(options.file, status, true);
  if (!font) return status;
  QorvStringDict dictionary;
  if (!LoadInputDictionary(dictionary, options.dict, status)) return status;
  const CharacterCodes characters(dictionary);

  std::vector<SheetCell> cells;
  if (text) {
    SheetCellsResult chosen = SheetCellsOfText(*font, characters, *text);
    if (!chosen) return Error(Text(MessageId::kCharsRefused, chosen.error, options.file));
    cells = std::move(chosen.cells);
  } else {
    cells = SheetCellsOfCodes(*font, characters, range->first, range->second);
    if (cells.empty()) return Error(Text(MessageId::kNoCellInRange, options.file, options.codes));
  }
  const GlyphSheet sheet = LayOutSheet(*size, std::move(cells), static_cast<std::uint32_t>(options.columns));
  if (std::uint64_t{sheet.layout.width()} * sheet.layout.height() > kMaxSheetPixels)
    return Error(Text(MessageId::kSheetTooLarge));
  const std::vector<unsigned char> png =
      EncodePng(DrawSheet(*font, *size, sheet), sheet.layout.width(), sheet.layout.height(), 3);
  if (png.empty()) return Error(Text(MessageId::kCannotEncodeSheet));
  // The index first: a picture without its index could not be read back.
  const std::string indexPath = SheetIndexPath(options.png);
  if (const int failed = WriteOutputFile(indexPath, SheetIndexJson(sheet))) return failed;
  if (const int failed = WriteOutputFile(options.png, png)) {
    // Nothing is left of a sheet that could not be written whole.
    if (const auto written = LibraryPath(indexPath, PathUse::kFileCalls)) DeleteFileA(written->c_str());
    return failed;
  }
  std::printf(
      "%s\n%s\n",
      Text(MessageId::kSheetWritten, options.png, std::to_string(sheet.cells.size()), std::to_string(size->cellSize),
           std::to_string(sheet.layout.width()), std::to_string(sheet.layout.height()))
          .c_str(),
      Text(MessageId::kSheetIndexWritten, indexPath).c_str());
  return 0;
}

int RunImport(const ImportOptions& options) {
  int status = 0;
  auto font = LoadInputFile(options.file, status, true);
  if (!font) return status;
  const std::string indexPath = SheetIndexPath(options.png);
  const auto systemIndexPath = LibraryPath(indexPath, PathUse::kFileCalls);
  if (!systemIndexPath) return 1;
  const auto indexBytes = ReadWholeFile(systemIndexPath->c_str());
  if (!indexBytes) return Error(Text(MessageId::kCannotReadSheetIndex, indexPath, options.png));
  const SheetIndexResult index =
      ParseSheetIndex(std::string_view(reinterpret_cast<const char*>(indexBytes->data()), indexBytes->size()));
  if (!index) return Error(indexPath + " " + index.error);
  const GlyphSizeInfo* size = SizeOf(static_cast<int>(index.sheet.layout.cellSize));
  const auto pngBytes = LoadInputFile(options.png, status);
  if (!pngBytes) return status;
  const PngDecodeResult picture = DecodePng(*pngBytes, kMaxSheetPixels);
  if (!picture) return Error(options.png + " " + picture.error);
  const SheetImport imported = ImportSheet(*font, *size, index.sheet, picture.picture);
  if (!imported) return Error(options.png + ": " + imported.error);
  if (const int failed = WriteOutputFile(options.out, *font)) return failed;
  std::printf("%s\n", Text(MessageId::kSheetChanged, std::to_string(imported.changed.size()),
                           std::to_string(index.sheet.cells.size()), std::to_string(size->cellSize))
                          .c_str());
  for (const SheetCell& cell : imported.changed) {
    char code[16];
    std::snprintf(code, sizeof(code), "0x%04X", static_cast<unsigned>(cell.code));
    const std::string character = cell.character ? ": " + EncodeUtf8(*cell.character) : "";
    std::printf("%s\n", Text(MessageId::kSheetChangedCell, std::to_string(cell.position), code, character).c_str());
  }
  std::printf("%s\n", Text(MessageId::kWrote, options.out).c_str());
  return 0;
}

}  // namespace

CommandDescription SheetCommand(int& status) {
  auto exported = std::make_shared<ExportOptions>();
  CommandDescription out{"export", "Write a sheet of cells (PNG) and its index (JSON) beside it"};
  out.options = {
      {"FILE", "A font file", &exported->file, true},
      {"--size", "Cell size: 20, 24 or 64", &exported->size, true},
      {"--png", "The sheet to write; its index goes to the same name with .json", &exported->png, true},
      {"--chars", "Only the cells that draw these characters", &exported->chars, false, false, std::nullopt, "--codes"},
      {"--codes", "Only the cells of these game codes, e.g. 0x889F-0x88FC", &exported->codes},
      {"--dict", "The dictionary that says which character a code draws", &exported->dict},
      {"--columns", "Cells a row", &exported->columns, false, true, std::pair<std::int64_t, std::int64_t>{1, 256}}};
  out.run = [exported, &status] { status = RunExport(*exported); };

  auto imported = std::make_shared<ImportOptions>();
  CommandDescription in{"import", "Put an edited sheet's cells into a copy of a font file"};
  in.options = {{"FILE", "The font file", &imported->file, true},
                {"SHEET", "The sheet (PNG), its index beside it", &imported->png, true},
                {"--out", "The new font file", &imported->out, true}};
  in.run = [imported, &status] { status = RunImport(*imported); };

  CommandDescription sheet{"sheet", "One size's glyph cells as a picture to edit, and back"};
  sheet.needsSubcommand = true;
  sheet.subcommands.push_back(std::move(out));
  sheet.subcommands.push_back(std::move(in));
  return sheet;
}

}  // namespace qzf::cli
