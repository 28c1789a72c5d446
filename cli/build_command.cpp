#include <CLI/CLI.hpp>

#include <cstdio>

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

namespace qzf::cli {
namespace {

struct BuildOptions {
  std::string face;
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

std::string DescribeFailure(const FontBuildResult& result, const BuildOptions& options) {
  switch (result.status) {
    case FontBuildStatus::kUnknownFace:
      if (result.faceUsed.empty()) return "cannot create a font for face \"" + options.face + "\"";
      return "no installed font is called \"" + options.face + "\" (the closest is \"" + ToTerminal(result.faceUsed) +
             "\"; --allow-substitute uses it; `qzffont fonts` lists the faces)";
    case FontBuildStatus::kUnknownFallback:
      return "no installed font is called \"" + ToTerminal(result.detail) +
             "\" (--fallback takes installed faces only; `qzffont fonts` lists them)";
    case FontBuildStatus::kFontFileUnusable:
      return "the font file " + ToTerminal(result.detail) + " gives no usable font (missing, or not a font file)";
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
    case FontBuildStatus::kOk:
      break;
  }
  return "failed";
}

std::string CharacterText(std::uint16_t gbk) {
  const char bytes[2] = {static_cast<char>(gbk >> 8), static_cast<char>(gbk & 0xFF)};
  return ToTerminal(std::string_view(bytes, 2));
}

// The style a build used, for --save-style: what was given, with what the
// fit chose in place of the fit itself.
StyleSettings UsedStyle(StyleSettings settings, const BuildStyle& style, const FontBuildResult& result) {
  if (style.fit) {
    settings.fit.reset();
    settings.all.glyphSize.reset();
    for (std::size_t i = 0; i < settings.sizes.size(); ++i) settings.sizes[i].glyphSize = result.fits[i].emHeight;
  }
  settings.align = style.align;
  return settings;
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
    for (std::size_t f = 1; f < r.drawnByFace.size(); ++f) {
      std::printf(", %u drawn by \"%s\"", static_cast<unsigned>(r.drawnByFace[f]),
                  ToTerminal(style.fallbackFaces[f - 1]).c_str());
    }
    if (r.missingGlyphs) {
      std::printf(", %u characters %s cannot draw (drawn as its missing-glyph box)",
                  static_cast<unsigned>(r.missingGlyphs), style.fallbackFaces.empty() ? "the face" : "no face");
    }
    if (!r.cutInk.empty()) {
      std::uint64_t pixels = 0;
      for (const GlyphFinding& cut : r.cutInk) pixels += cut.pixels;
      std::printf(", %zu glyphs cut by the cell's edges (%llu ink pixels lost)", r.cutInk.size(),
                  static_cast<unsigned long long>(pixels));
    }
    if (r.glyphErrors)
      std::printf(", %u glyphs failed to render (their cells kept)", static_cast<unsigned>(r.glyphErrors));
    std::printf("\n");
  }
  // Which characters no face has: the same at every size, so listed once.
  const auto& missing = result.passes[0].result.missing;
  if (!missing.empty()) {
    constexpr std::size_t kShown = 40;
    std::printf("  not drawable:");
    for (std::size_t i = 0; i < missing.size() && i < kShown; ++i)
      std::printf(" %s", CharacterText(missing[i].character).c_str());
    if (missing.size() > kShown) std::printf(" ... (%zu in all)", missing.size());
    std::printf("\n");
  }
}

int RunBuild(const BuildOptions& options) {
  std::string problem;
  const auto settings = StyleFromArguments(options.style, problem);
  if (!settings) return Error(problem);
  const auto style = BuildStyleOf(*settings, problem);
  if (!style) return Error(problem);
  const std::string faceText = options.face.empty() ? settings->face.value_or("") : options.face;
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

  BuildOptions named = options;
  named.face = faceText;
  using Mode = BuildProgress::Mode;
  BuildProgress progress(stderr, options.quiet ? Mode::kQuiet : IsTerminal(stderr) ? Mode::kBar : Mode::kLines);
  UncommittedFont font;
  const FontBuildResult result = BuildFontUncommitted(request, progress, font);
  progress.Finish();
  if (result.status != FontBuildStatus::kOk) return Error(DescribeFailure(result, named));

  if (!options.style.saveStyleFile.empty()) {
    StyleSettings used = UsedStyle(*settings, *style, result);
    used.face = faceText;
    if (const int status = outputs.Fill(options.style.saveStyleFile, FormatStyleText(used))) return status;
  }
  const std::string record = BuildRecordJson(result, {options.out, faceText});
  if (!options.report.empty()) {
    if (const int status = outputs.Fill(options.report, record)) return status;
  }
  if (const int status = outputs.Commit(font)) return status;
  if (options.json) {
    std::fputs(record.c_str(), stdout);
    return 0;
  }
  PrintSummary(named, *style, result);
  return 0;
}

}  // namespace

void AddBuildCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<BuildOptions>();
  CLI::App* build = app.add_subcommand("build", "Make F_FONTJ.qzf with the game's Chinese text in an installed font");
  build->add_option("--face", options->face,
                    "Installed font face, e.g. \"Noto Sans CJK SC\" (see `qzffont fonts`); required unless the "
                    "style file names one");
  build->add_option("--out", options->out, "Output file")->capture_default_str();
  build->add_option("--base", options->base,
                    "Your own game's F_FONTJ.qzf to start from (only read), instead of the embedded one");
  build->add_option("--dict", options->dict,
                    "Code-mapping dictionary (text or binary image) instead of the embedded one");
  build->add_flag("--allow-substitute", options->allowSubstitute,
                  "Build with the closest installed face when none has the name given");
  build->add_flag("-q,--quiet", options->quiet, "No progress bar");
  build
      ->add_option("--threads", options->threads,
                   "Threads that draw the glyphs (default: one per core, at most 8); the font is the same for any "
                   "number")
      ->check(CLI::Range(1u, 64u));
  AddStyleOptions(*build, options->style);
  build->add_option("--report", options->report, "Also write what the build found to this file, as JSON");
  build->add_flag("--json", options->json, "Print what the build found as JSON instead of the summary");
  build->callback([options, &status] { status = RunBuild(*options); });
}

}  // namespace qzf::cli
