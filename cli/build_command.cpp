#include <CLI/CLI.hpp>

#include "cli/build_progress.h"
#include "cli/commands.h"
#include "cli/library_path.h"
#include "cli/terminal.h"
#include "fontbuild/font_build.h"

namespace qzf::cli {
namespace {

struct BuildOptions {
  std::string face;
  std::string out = "F_FONTJ.qzf";
  std::string base;
  std::string dict;
  bool allowSubstitute = false;
  bool quiet = false;
};

std::string DescribeFailure(const FontBuildResult& result, const BuildOptions& options) {
  switch (result.status) {
    case FontBuildStatus::kUnknownFace:
      if (result.faceUsed.empty()) return "cannot create a font for face \"" + options.face + "\"";
      return "no installed font is called \"" + options.face + "\" (the closest is \"" + ToTerminal(result.faceUsed) +
             "\"; --allow-substitute uses it; `qzffont fonts` lists the faces)";
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

int RunBuild(const BuildOptions& options) {
  FontBuildRequest request;
  const auto face = ToGbk(options.face);
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

  using Mode = BuildProgress::Mode;
  BuildProgress progress(stderr, options.quiet ? Mode::kQuiet : IsTerminal(stderr) ? Mode::kBar : Mode::kLines);
  const FontBuildResult result = BuildFont(request, progress);
  progress.Finish();
  if (result.status != FontBuildStatus::kOk) return Error(DescribeFailure(result, options));

  std::printf("Built %s with face \"%s\"%s\n", options.out.c_str(), ToTerminal(result.faceUsed).c_str(),
              result.exactFace ? "" : " (a substitute: no font has the name asked for)");
  std::printf("  dictionary: %u entries\n", static_cast<unsigned>(result.dictionaryEntries));
  for (const FontBuildPass& pass : result.passes) {
    std::printf("  %2d px: %u cells rewritten, %u kept", static_cast<int>(pass.fontHeight),
                static_cast<unsigned>(pass.result.cellsRewritten), static_cast<unsigned>(pass.result.cellsKept));
    if (pass.result.missingGlyphs) {
      std::printf(", %u characters the face cannot draw (drawn as its missing-glyph box)",
                  static_cast<unsigned>(pass.result.missingGlyphs));
    }
    if (pass.result.glyphErrors) {
      std::printf(", %u glyphs failed to render (their cells kept)", static_cast<unsigned>(pass.result.glyphErrors));
    }
    std::printf("\n");
  }
  return 0;
}

}  // namespace

void AddBuildCommand(CLI::App& app, int& status) {
  auto options = std::make_shared<BuildOptions>();
  CLI::App* build = app.add_subcommand("build", "Make F_FONTJ.qzf with the game's Chinese text in an installed font");
  build->add_option("--face", options->face, "Installed font face, e.g. \"Noto Sans CJK SC\" (see `qzffont fonts`)")
      ->required();
  build->add_option("--out", options->out, "Output file")->capture_default_str();
  build->add_option("--base", options->base,
                    "Your own game's F_FONTJ.qzf to start from (only read), instead of the embedded one");
  build->add_option("--dict", options->dict,
                    "Code-mapping dictionary (text or binary image) instead of the embedded one");
  build->add_flag("--allow-substitute", options->allowSubstitute,
                  "Build with the closest installed face when none has the name given");
  build->add_flag("-q,--quiet", options->quiet, "No progress bar");
  build->callback([options, &status] { status = RunBuild(*options); });
}

}  // namespace qzf::cli
