// fonts, preview and data: the installed faces, a picture of a build, and the
// embedded data blocks.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/build_progress.h"
#include "cli/cli_language.h"
#include "cli/commands.h"
#include "cli/input_files.h"
#include "cli/library_path.h"
#include "cli/png_output.h"
#include "cli/terminal.h"
#include "cli/write_failure.h"
#include "dict/load_dictionary_file.h"
#include "fileutil/atomic_file_write.h"
#include "fileutil/data_blocks.h"
#include "fileutil/data_resource_bytes.h"
#include "fileutil/ensure_directory_path.h"
#include "fileutil/extract_data_resource.h"
#include "fileutil/path_separators.h"
#include "fontbuild/build_failure_text.h"
#include "fontbuild/face_coverage.h"
#include "fontbuild/font_build.h"
#include "fontbuild/report_records.h"
#include "fontpatch/font_file_report.h"
#include "platform/portable/private_font_file.h"
#include "platform/win32.h"
#include "preview/preview_picture.h"

namespace qzf::cli {
namespace {

int RunFonts(const std::string& dict, bool all, bool json, const std::vector<std::string>& fontFiles) {
  // The files' faces are listed with the installed ones while these live.
  std::vector<std::unique_ptr<PrivateFontFile>> added;
  for (const std::string& file : fontFiles) {
    const auto path = ToSystemPath(file);
    if (!path) return Error(Text(MessageId::kPathUnusable, file));
    added.push_back(std::make_unique<PrivateFontFile>(*path));
    if (added.back()->fontsAdded() == 0) return Error(Text(MessageId::kFontFileGivesNoFont, file));
  }
  int status = 0;
  QorvStringDict dictionary;
  if (!LoadInputDictionary(dictionary, dict, status)) return status;
  const std::string characters = DictionaryCharacters(dictionary);
  const auto total = static_cast<std::uint32_t>(characters.size() / 2);
  std::vector<FaceCoverage> faces = ListFaceCoverage(characters);
  if (!all) std::erase_if(faces, [](const FaceCoverage& f) { return f.drawable == 0; });
  if (json) {
    std::fputs(FontsRecordJson(total, faces).c_str(), stdout);
    return 0;
  }
  std::printf("%s\n", Text(MessageId::kFontsHeading, std::to_string(total)).c_str());
  for (const FaceCoverage& f : faces) {
    std::string others;
    for (const std::string& name : f.face.otherNames) others += (others.empty() ? "" : ", ") + ToTerminal(name);
    std::printf("%8u %s%s%s\n", static_cast<unsigned>(f.drawable), ToTerminal(f.face.name).c_str(),
                others.empty() ? "" : ("  [" + others + "]").c_str(),
                f.drawable == total ? Text(MessageId::kFontsAll).c_str() : "");
  }
  if (!all) std::printf("%s\n", Text(MessageId::kFontsLeftOut).c_str());
  return 0;
}

struct PreviewOptions {
  std::string face;
  std::string png;
  std::vector<std::string> fonts;
  std::vector<std::string> labels;  // one per font, in order; the rest as named below
  std::string dict;
  bool allowSubstitute = false;
};

// Enough to set a style beside the game's way and one more; the picture of
// each is some 900 pixels tall.
constexpr std::size_t kMostPreviewFonts = 4;

// A built file's blocks: the label given, else "built with FACE" for the one
// file, else the file as the user named it.
std::string PreviewLabel(const PreviewOptions& options, std::size_t index) {
  if (index < options.labels.size()) return options.labels[index];
  if (options.fonts.size() <= 1) return Text(MessageId::kPreviewBuiltWith, options.face);
  return options.fonts[index];
}

int RunPreview(const PreviewOptions& options) {
  const auto face = ToGbk(options.face);
  if (!face || face->empty() || face->size() >= 256) return Error(Text(MessageId::kFaceNameUnusable, options.face));
  const auto stock = DataResourceBytes(kStockFontBlock);
  if (!stock) return Error(Text(MessageId::kBuildNoEmbeddedData));
  const FaceCheck check = CheckFace(face->c_str());
  if (!check.exact && !options.allowSubstitute) return Error(Text(MessageId::kFaceNotInstalled, options.face));
  int status = 0;
  QorvStringDict dictionary;
  if (!LoadInputDictionary(dictionary, options.dict, status)) return status;
  const auto dictPath = LibraryPath(options.dict, PathUse::kLibraryBuffer);
  if (!dictPath) return 1;

  if (options.fonts.size() > kMostPreviewFonts)
    return Error(Text(MessageId::kMostFontFiles, std::to_string(kMostPreviewFonts)));
  if (options.labels.size() > std::max<std::size_t>(options.fonts.size(), 1))
    return Error(Text(MessageId::kOneLabelPerFont));
  std::vector<std::vector<unsigned char>> built;
  for (const std::string& font : options.fonts) {
    const auto path = LibraryPath(font, PathUse::kFileCalls);
    if (!path) return 1;
    auto bytes = ReadWholeFile(path->c_str());
    if (!bytes) return Error(Text(MessageId::kCannotRead, font));
    if (!IsAcceptedFontImage(bytes->data(), bytes->size())) return Error(Text(MessageId::kNotGameFont, font));
    built.push_back(std::move(*bytes));
  }
  if (options.fonts.empty()) {
    // No built file given: build one beside the picture, then drop it.
    static constexpr std::size_t kFontSuffix = sizeof(".font.tmp") - 1;
    const auto png = LibraryPath(options.png, PathUse::kLibraryBuffer, kFontSuffix + kTemporarySuffixLength);
    if (!png) return 1;
    FontBuildRequest request;
    request.faceName = *face;
    request.outputPath = *png + ".font.tmp";
    request.dictionaryPath = *dictPath;
    request.allowSubstitute = options.allowSubstitute;
    request.language = Language();
    BuildProgress progress(stderr, IsTerminal(stderr) ? BuildProgress::Mode::kBar : BuildProgress::Mode::kLines);
    const FontBuildResult result = BuildFont(request, progress);
    progress.Finish();
    if (result.status != FontBuildStatus::kOk) {
      const BuildFailureNames names{options.face, "", "", options.dict, options.png, true};
      return Error(Text(MessageId::kPreviewBuildFailed, BuildFailureText(result, names, Language())));
    }
    auto bytes = ReadWholeFile(request.outputPath.c_str());
    DeleteFileA(request.outputPath.c_str());
    if (!bytes) return Error(Text(MessageId::kCannotReadBuiltFont));
    if (!IsAcceptedFontImage(bytes->data(), bytes->size())) return Error(Text(MessageId::kBuiltFontNotWhole));
    built.push_back(std::move(*bytes));
  }
  std::vector<PreviewFont> fonts;
  for (std::size_t i = 0; i < built.size(); ++i) {
    const std::string label = PreviewLabel(options, i);
    const auto gbk = ToGbk(label);
    if (!gbk) return Error(Text(MessageId::kLabelNotGbk, label));
    fonts.push_back({*gbk, built[i]});
  }
  const auto picture = DrawPreviewPicture(face->c_str(), *stock, fonts, CharacterCodes(dictionary));
  if (!picture) return Error(Text(MessageId::kCannotDrawWithFace, options.face));
  return WriteRgbPng(options.png, picture->rgb, picture->width, picture->height);
}

// DIR and its parents are made as needed. Each file is written whole or not
// at all, replacing an earlier copy only when complete.
int RunDataExport(const std::string& dir) {
  static constexpr std::size_t kLongestName = sizeof("\\dictionary.txt") - 1;
  const auto base = LibraryPath(dir, PathUse::kLibraryBuffer, kLongestName + kTemporarySuffixLength);
  if (!base) return 1;
  std::string prefix = *base;
  if (!prefix.empty() && !IsPathSeparator(prefix.back())) prefix += '\\';
  EnsureDirectoryPath((prefix + "F_FONTJ.qzf").c_str());
  const DWORD attributes = GetFileAttributesA(base->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Error(Text(MessageId::kCannotMakeDirectory, dir));
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Error(Text(MessageId::kNotDirectory, dir));
  const std::pair<int, const char*> blocks[] = {{kStockFontBlock, "F_FONTJ.qzf"}, {kDictionaryBlock, "dictionary.txt"}};
  for (const auto& [id, name] : blocks) {
    if (!DataResourceBytes(id)) return Error(Text(MessageId::kNoDataBlock, std::to_string(id)));
    const std::string shown = dir + "/" + name;
    const AtomicWriteResult written = WriteFileAtomically(
        prefix + name, AtomicWriteMode::kReplace,
        [id = id](const char* temporary) { return ExtractDataResource(MAKEINTRESOURCEA(id), temporary) == 1; });
    if (!written) return Error(DescribeWriteFailure(shown, written));
    std::printf("%s\n", Text(MessageId::kWrote, shown).c_str());
  }
  return 0;
}

}  // namespace

CommandDescription FontsCommand(int& status) {
  auto dict = std::make_shared<std::string>();
  auto all = std::make_shared<bool>(false);
  auto json = std::make_shared<bool>(false);
  auto fontFiles = std::make_shared<std::vector<std::string>>();
  CommandDescription fonts{"fonts", "List installed faces, best first, by how many needed characters they draw"};
  fonts.options = {
      {"--dict", "Count the characters of this dictionary instead of the embedded one", dict.get()},
      {"--all", "Also list faces that draw none of them", all.get()},
      {"--json", "Print the list as JSON", json.get()},
      {"--font-file", "Also list the faces of this font file, not installed (repeatable)", fontFiles.get()}};
  fonts.run = [dict, all, json, fontFiles, &status] { status = RunFonts(*dict, *all, *json, *fontFiles); };
  return fonts;
}

CommandDescription PreviewCommand(int& status) {
  auto options = std::make_shared<PreviewOptions>();
  CommandDescription preview{"preview", "Draw a PNG of the preview lines in the face and from the cells of each size"};
  preview.options = {
      {"--face", "Installed font face", &options->face, true},
      {"--png", "Picture to write", &options->png, true},
      {"--font",
       "A font file already built with this face (else one is built); repeatable, each drawn below the stock file in "
       "the order given",
       &options->fonts},
      {"--label",
       "What the lines of the --font file of the same place are called (repeatable; default: \"built with FACE\" for "
       "one file, the file's name for several)",
       &options->labels},
      {"--dict", "The dictionary the font is built with (default: the embedded one)", &options->dict},
      {"--allow-substitute", "Use the closest face when none has the name", &options->allowSubstitute}};
  preview.run = [options, &status] { status = RunPreview(*options); };
  return preview;
}

CommandDescription DataCommand(int& status) {
  auto dir = std::make_shared<std::string>();
  CommandDescription exportCommand{"export", "Write the embedded F_FONTJ.qzf and dictionary.txt to DIR"};
  exportCommand.options = {{"DIR", "A directory (made if it is not there)", dir.get(), true}};
  exportCommand.run = [dir, &status] { status = RunDataExport(*dir); };
  CommandDescription data{"data", "The data blocks this program carries"};
  data.needsSubcommand = true;
  data.subcommands.push_back(std::move(exportCommand));
  return data;
}

}  // namespace qzf::cli
