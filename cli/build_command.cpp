#include <cstdio>
#include <memory>
#include <set>
#include <vector>

#include "cli/build_outputs.h"
#include "cli/build_progress.h"
#include "cli/commands.h"
#include "cli/library_path.h"
#include "cli/style_options.h"
#include "cli/terminal.h"
#include "fileutil/file_range.h"
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
  switch (result.status) {
    case FontBuildStatus::kUnknownFace:
      if (result.faceUsed.empty()) return "cannot create a font for face \"" + face + "\"";
      return "no installed font is called \"" + face + "\" (the closest is \"" + ToTerminal(result.faceUsed) +
             "\"; --allow-substitute uses it; `qzffont fonts` lists the faces)";
    case FontBuildStatus::kUnknownFallback:
      return "no installed font is called \"" + ToTerminal(result.detail) +
             "\" (--fallback takes installed faces only; `qzffont fonts` lists them)";
    case FontBuildStatus::kFontFileUnusable:
      return "the font file " + GivenFontFile(result.detail, style, settings) +
             " gives no usable font (missing, or not a font file)";
    case FontBuildStatus::kBaseUnreadable:
      return "cannot read the base font file " + options.base;
    case FontBuildStatus::kBaseRefused:
      return "the base file " + options.base + " is not a game font file (" + result.detail + ")";
    case FontBuildStatus::kDictionaryNotLoaded: {
      const std::string which = options.dict.empty() ? "the embedded dictionary" : "the dictionary " + options.dict;
      if (!result.detail.empty()) return which + " cannot be used: " + result.detail;
      return which + " does not load (missing, or not in the dictionary text or binary format)";
    }
    case FontBuildStatus::kOutputUnwritable:
      return "cannot write " + options.out + " (is its directory there and writable?)";
    case FontBuildStatus::kPassFailed:
      return "the " + result.detail + " pass failed; " + options.out + " was not written";
    case FontBuildStatus::kNoEmbeddedData:
      return "this program carries no font data; give --base and --dict";
    case FontBuildStatus::kGlyphRefused:
      return result.detail;
    case FontBuildStatus::kOk:
      break;
  }
  return "failed";
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
  std::string text = std::to_string(characters.size()) + (characters.size() == 1 ? " character" : " characters");
  if (cells.size() != characters.size())
    text += " (" + std::to_string(cells.size()) + (cells.size() == 1 ? " cell)" : " cells)");
  return text;
}

void PrintSummary(const BuildOptions& options, const BuildStyle& style, const FontBuildResult& result) {
  std::printf("Built %s with face \"%s\"%s\n", options.out.c_str(), ToTerminal(result.faceUsed).c_str(),
              result.exactFace ? "" : " (a substitute: no font has the name asked for)");
  std::printf("  dictionary: %u entries\n", static_cast<unsigned>(result.dictionaryEntries));
  if (style.fit || style.align == GlyphAlign::kCenter) {
    std::printf("  %s:", style.fit ? "fit" : "centred");
    for (std::size_t i = 0; i < result.fits.size(); ++i) {
      const SizeFit& fit = result.fits[i];
      std::printf("%s %u px: ", i ? "," : "", static_cast<unsigned>(SizeModeTable[i].cellSize));
      if (fit.emHeight > 0) {
        std::printf("em %d", static_cast<int>(fit.emHeight));
      } else {
        std::printf("cell height");
      }
      if (style.align == GlyphAlign::kCenter)
        std::printf(" moved %+d:%+d", static_cast<int>(fit.alignX), static_cast<int>(fit.alignY));
    }
    std::printf("\n");
  }
  for (const FontBuildPass& pass : result.passes) {
    const PatchPassResult& r = pass.result;
    std::printf("  %2d px: %u cells rewritten, %u kept", static_cast<int>(pass.fontHeight),
                static_cast<unsigned>(r.cellsRewritten), static_cast<unsigned>(r.cellsKept));
    for (std::size_t f = 0; f < r.fallbackGlyphs.size() && f < style.fallbackFaces.size(); ++f) {
      std::printf(", %s drawn by \"%s\"", CharactersIn(r.fallbackGlyphs[f]).c_str(),
                  ToTerminal(style.fallbackFaces[f]).c_str());
    }
    if (!r.missing.empty()) {
      std::printf(", %s %s (drawn as the face's missing-glyph box)", CharactersIn(r.missing).c_str(),
                  style.fallbackFaces.empty() ? "the face cannot draw" : "no face can draw");
    }
    if (!r.cutInk.empty()) {
      std::uint64_t pixels = 0;
      for (const GlyphFinding& cut : r.cutInk) pixels += cut.pixels;
      std::printf(", %s cut by the cell's edges (%llu ink pixels lost)", CharactersIn(r.cutInk).c_str(),
                  static_cast<unsigned long long>(pixels));
    }
    if (r.glyphErrors)
      std::printf(", %u cells whose glyph failed to render (kept as they were)", static_cast<unsigned>(r.glyphErrors));
    std::printf("\n");
  }
  // The cells each character's own settings went into.
  for (std::size_t k = 0; k < style.glyphs.size(); ++k) {
    std::printf("  glyph \"%s\":", style.glyphs[k].key.c_str());
    for (std::size_t i = 0; i < result.passes.size(); ++i) {
      const auto& overridden = result.passes[i].result.overridden;
      const std::size_t cells = k < overridden.size() ? overridden[k].size() : 0;
      std::printf("%s %d px: %zu %s", i ? ";" : "", static_cast<int>(result.passes[i].fontHeight), cells,
                  cells == 1 ? "cell" : "cells");
      for (std::size_t c = 0; c < cells && c < 8; ++c)
        std::printf("%s%u", c ? "," : " at ", static_cast<unsigned>(overridden[k][c].position));
      if (cells > 8) std::printf(",...");
    }
    std::printf("\n");
  }
  // Which characters no face has: the same at every size, so listed once,
  // each character once however many positions it stands at.
  std::vector<std::uint16_t> missing;
  std::set<std::uint16_t> listed;
  for (const GlyphFinding& cell : result.passes[0].result.missing)
    if (listed.insert(cell.character).second) missing.push_back(cell.character);
  if (!missing.empty()) {
    constexpr std::size_t kShown = 40;
    std::printf("  not drawable:");
    for (std::size_t i = 0; i < missing.size() && i < kShown; ++i)
      std::printf(" %s", CharacterText(missing[i]).c_str());
    if (missing.size() > kShown) std::printf(" ... (%zu characters in all)", missing.size());
    std::printf("\n");
  }
}

int RunBuild(const BuildOptions& options) {
  std::string problem;
  const auto settings = StyleFromArguments(options.style, problem);
  if (!settings) return Error(problem);
  const auto style = BuildStyleOf(*settings, problem);
  if (!style) return Error(problem);
  const std::string faceText = FaceOf(*settings).value_or("");
  if (faceText.empty()) return Error("give the face with --face (or face = \"...\" in the style file)");

  FontBuildRequest request;
  const auto face = ToGbk(faceText);
  if (!face || face->empty()) return Error("the face name must be a GBK-representable name");
  if (face->size() >= 256) return Error("the face name is too long (" + std::to_string(face->size()) + " bytes)");
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
