#include <cstdio>
#include <memory>
#include <set>
#include <vector>

#include "cli/build_outputs.h"
#include "cli/build_progress.h"
#include "cli/cli_language.h"
#include "cli/commands.h"
#include "cli/library_path.h"
#include "cli/style_options.h"
#include "cli/terminal.h"
#include "fileutil/file_range.h"
#include "fontbuild/build_failure_text.h"
#include "fontbuild/build_style_of.h"
#include "fontbuild/font_build.h"
#include "fontbuild/report_records.h"
#include "fontbuild/style_file.h"
#include "fontbuild/style_table.h"

namespace qzf::cli {
namespace {

struct BuildOptions {
  std::string out = "F_FONTJ.qzf";
  std::string base;
  std::string dict;
  bool allowSubstitute = false;
  bool quiet = false;
  unsigned threads = 0;  // 0: as the core chooses
  StyleArguments style;
  // The build record: to a file, and instead of the summary on standard output.
  std::string report;
  bool json = false;
};

// The library names a font file by the system path it used; the user is
// told the name they gave (`sty/ff0.ttf`, not `sty\ff0.ttf` on Linux).
std::string GivenFontFile(const std::string& systemPath, const BuildStyle& style, const StyleSettings& settings) {
  const std::vector<std::string> given = FontFilesOf(settings);
  for (std::size_t i = 0; i < style.fontFiles.size() && i < given.size(); ++i)
    if (style.fontFiles[i] == systemPath) return given[i];
  return ToTerminal(systemPath);
}

std::string DescribeFailure(const FontBuildResult& result, const BuildOptions& options, const std::string& face,
                            const BuildStyle& style, const StyleSettings& settings) {
  BuildFailureNames names{face, "", options.base, options.dict, options.out, true};
  if (result.status == FontBuildStatus::kFontFileUnusable)
    names.fontFile = GivenFontFile(result.detail, style, settings);
  return BuildFailureText(result, names, Language());
}

std::string CharacterText(std::uint16_t gbk) {
  const char bytes[2] = {static_cast<char>(gbk >> 8), static_cast<char>(gbk & 0xFF)};
  return ToTerminal(std::string_view(bytes, 2));
}

// A character may stand at more than one position of the code table (code
// 0x814D stands at two), so a list of cells can hold fewer characters than
// cells: counted as characters, with the cells where they differ.
std::string CharactersIn(const std::vector<GlyphFinding>& cells) {
  std::set<std::uint16_t> characters;
  for (const GlyphFinding& cell : cells) characters.insert(cell.character);
  std::string text = Text(characters.size() == 1 ? MessageId::kOneCharacter : MessageId::kCharacters,
                          std::to_string(characters.size()));
  if (cells.size() != characters.size())
    text += Text(cells.size() == 1 ? MessageId::kInOneCell : MessageId::kInCells, std::to_string(cells.size()));
  return text;
}

void Print(const std::string& text) { std::fputs(text.c_str(), stdout); }

std::string Signed(int value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%+d", value);
  return text;
}

void PrintSummary(const BuildOptions& options, const BuildStyle& style, const FontBuildResult& result) {
  Print(Text(MessageId::kSummaryBuilt, options.out, ToTerminal(result.faceUsed),
             result.exactFace ? "" : Text(MessageId::kSummarySubstitute)) +
        "\n");
  Print(Text(MessageId::kSummaryDictionary, std::to_string(result.dictionaryEntries)) + "\n");
  if (style.fit || style.align == GlyphAlign::kCenter) {
    std::string line = "  ";
    line += Text(style.fit ? MessageId::kSummaryFit : MessageId::kSummaryCentred);
    line += ':';
    for (std::size_t i = 0; i < result.fits.size(); ++i) {
      const SizeFit& fit = result.fits[i];
      line += i ? ", " : " ";
      line += Text(MessageId::kSummaryFitSize, std::to_string(SizeModeTable[i].cellSize));
      line += fit.emHeight > 0 ? Text(MessageId::kSummaryEm, std::to_string(fit.emHeight))
                               : Text(MessageId::kSummaryCellHeight);
      if (style.align == GlyphAlign::kCenter)
        line += Text(MessageId::kSummaryMoved, Signed(fit.alignX), Signed(fit.alignY));
    }
    Print(line + "\n");
  }
  for (const FontBuildPass& pass : result.passes) {
    const PatchPassResult& r = pass.result;
    char size[8];
    std::snprintf(size, sizeof(size), "%2d", static_cast<int>(pass.fontHeight));
    std::string line =
        Text(MessageId::kSummaryPass, size, std::to_string(r.cellsRewritten), std::to_string(r.cellsKept));
    for (std::size_t f = 0; f < r.fallbackGlyphs.size() && f < style.fallbackFaces.size(); ++f)
      line += Text(MessageId::kSummaryDrawnBy, CharactersIn(r.fallbackGlyphs[f]), ToTerminal(style.fallbackFaces[f]));
    if (!r.missing.empty()) {
      line += Text(style.fallbackFaces.empty() ? MessageId::kSummaryFaceCannotDraw : MessageId::kSummaryNoFaceCanDraw,
                   CharactersIn(r.missing));
    }
    if (!r.cutInk.empty()) {
      std::uint64_t pixels = 0;
      for (const GlyphFinding& cut : r.cutInk) pixels += cut.pixels;
      line += Text(MessageId::kSummaryCut, CharactersIn(r.cutInk), std::to_string(pixels));
    }
    if (r.glyphErrors) line += Text(MessageId::kSummaryGlyphErrors, std::to_string(r.glyphErrors));
    Print(line + "\n");
  }
  // The cells each character's own settings went into.
  for (std::size_t k = 0; k < style.glyphs.size(); ++k) {
    std::string line = Text(MessageId::kSummaryGlyph, style.glyphs[k].key);
    for (std::size_t i = 0; i < result.passes.size(); ++i) {
      const auto& overridden = result.passes[i].result.overridden;
      const std::size_t cells = k < overridden.size() ? overridden[k].size() : 0;
      line += i ? "; " : " ";
      line += Text(cells == 1 ? MessageId::kSummaryGlyphOneCell : MessageId::kSummaryGlyphCells,
                   std::to_string(result.passes[i].fontHeight), std::to_string(cells));
      for (std::size_t c = 0; c < cells && c < 8; ++c)
        line += (c ? "," : Text(MessageId::kSummaryAt)) + std::to_string(overridden[k][c].position);
      if (cells > 8) line += ",...";
    }
    Print(line + "\n");
  }
  // Which characters no face has: the same at every size, so listed once,
  // each character once however many positions it stands at.
  std::vector<std::uint16_t> missing;
  std::set<std::uint16_t> listed;
  for (const GlyphFinding& cell : result.passes[0].result.missing)
    if (listed.insert(cell.character).second) missing.push_back(cell.character);
  if (!missing.empty()) {
    constexpr std::size_t kShown = 40;
    std::string line = Text(MessageId::kSummaryNotDrawable);
    for (std::size_t i = 0; i < missing.size() && i < kShown; ++i) {
      line += ' ';
      line += CharacterText(missing[i]);
    }
    if (missing.size() > kShown) line += Text(MessageId::kSummaryInAll, std::to_string(missing.size()));
    Print(line + "\n");
  }
}

int RunBuild(const BuildOptions& options) {
  std::string problem;
  const auto settings = StyleFromArguments(options.style, problem);
  if (!settings) return Error(problem);
  const auto style = BuildStyleOf(*settings, problem);
  if (!style) return Error(problem);
  const std::string faceText = FaceOf(*settings).value_or("");
  if (faceText.empty()) return Error(Text(MessageId::kGiveFace));

  FontBuildRequest request;
  const auto face = ToGbk(faceText);
  if (!face || face->empty()) return Error(Text(MessageId::kFaceNotGbk));
  if (face->size() >= 256) return Error(Text(MessageId::kFaceTooLong, std::to_string(face->size())));
  request.faceName = *face;
  const auto out = LibraryPath(options.out, PathUse::kLibraryBuffer, kTemporarySuffixLength);
  const auto base = out ? LibraryPath(options.base, PathUse::kFileCalls) : std::nullopt;
  const auto dict = base ? LibraryPath(options.dict, PathUse::kLibraryBuffer) : std::nullopt;
  if (!dict) return 1;
  request.outputPath = *out;
  request.basePath = *base;
  request.dictionaryPath = *dict;
  request.allowSubstitute = options.allowSubstitute;
  request.style = *style;
  request.threads = options.threads;
  request.language = Language();

  // Every output checked before the build starts; all put in place at its end.
  BuildOutputs outputs;
  if (const int status = outputs.CheckFont(options.out, *out)) return status;
  if (!options.style.saveStyleFile.empty()) {
    if (const int status = outputs.Reserve(options.style.saveStyleFile)) return status;
  }
  if (!options.report.empty()) {
    if (const int status = outputs.Reserve(options.report)) return status;
  }

  using Mode = BuildProgress::Mode;
  BuildProgress progress(stderr, options.quiet ? Mode::kQuiet : IsTerminal(stderr) ? Mode::kBar : Mode::kLines);
  UncommittedFont font;
  const FontBuildResult result = BuildFontUncommitted(request, progress, font);
  progress.Finish();
  if (result.status != FontBuildStatus::kOk)
    return Error(DescribeFailure(result, options, faceText, *style, *settings));

  if (!options.style.saveStyleFile.empty()) {
    std::array<std::int32_t, SizeModeTable.size()> fitted{};
    for (std::size_t i = 0; i < fitted.size(); ++i) fitted[i] = result.fits[i].emHeight;
    StyleSettings used = WithImagesFrom(StyleAsBuilt(*settings, *style, fitted), options.style.saveStyleFile);
    SetFace(used, faceText);
    if (const int status = outputs.Fill(options.style.saveStyleFile, FormatStyleText(used))) return status;
  }
  const std::string record = BuildRecordJson(result, {options.out, faceText, FontFilesOf(*settings)});
  if (!options.report.empty()) {
    if (const int status = outputs.Fill(options.report, record)) return status;
  }
  if (const int status = outputs.Commit(font)) return status;
  if (options.json) {
    std::fputs(record.c_str(), stdout);
    return 0;
  }
  if (options.quiet) return 0;  // only errors, as -q promises
  PrintSummary(options, *style, result);
  return 0;
}

}  // namespace

CommandDescription BuildCommand(int& status) {
  auto options = std::make_shared<BuildOptions>();
  CommandDescription build{"build", "Make F_FONTJ.qzf with the game's Chinese text in an installed font"};
  build.options = {
      {"--out", "Output file", &options->out, false, true},
      {"--base", "Your own game's F_FONTJ.qzf to start from (only read), instead of the embedded one", &options->base},
      {"--dict", "Code-mapping dictionary (text or binary image) instead of the embedded one", &options->dict},
      {"--allow-substitute", "Build with the closest installed face when none has the name given",
       &options->allowSubstitute},
      {"-q,--quiet", "Print nothing but errors: no progress, no summary (--json still prints)", &options->quiet},
      {"--threads",
       "Threads that draw the glyphs (default: one per core, at most 8); the font is the same for any number",
       &options->threads, false, false, std::pair<std::int64_t, std::int64_t>{1, 64}}};
  for (OptionDescription& option : StyleOptions(options->style)) build.options.push_back(std::move(option));
  build.options.push_back({"--report", "Also write what the build found to this file, as JSON", &options->report});
  build.options.push_back({"--json", "Print what the build found as JSON instead of the summary", &options->json});
  build.run = [options, &status] { status = RunBuild(*options); };
  return build;
}

}  // namespace qzf::cli
