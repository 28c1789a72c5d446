#include "fontbuild/font_build.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dict/load_dictionary_file.h"
#include "fileutil/atomic_file_write.h"
#include "fileutil/data_blocks.h"
#include "fileutil/extract_data_resource.h"
#include "fileutil/file_range.h"
#include "fileutil/stale_temporary_files.h"
#include "fileutil/temporary_file.h"
#include "fontbuild/background_work.h"
#include "fontbuild/own_cells.h"
#include "fontbuild/pass_cells.h"
#include "fontbuild/pass_runs.h"
#include "fontbuild/pass_styles.h"
#include "fontpatch/cell_drawing.h"
#include "fontpatch/pass_messages.h"
#include "platform/base/codepage.h"
#include "platform/portable/face_char_set.h"
#include "platform/portable/private_font_file.h"
#include "platform/portable/selected_font.h"
#include "platform/win32.h"

namespace qzf {
namespace {

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FontBuildResult Fail(FontBuildResult result, FontBuildStatus status, std::string detail) {
  result.status = status;
  result.detail = std::move(detail);
  return result;
}

// Copies the user's base file whole; false when it cannot be read or the copy
// cannot be written. The base itself is only read.
bool CopyBase(const std::string& base, const char* target, std::uint32_t length) {
  std::vector<unsigned char> bytes;
  try {
    bytes.resize(length);
  } catch (const std::bad_alloc&) {
    return false;
  }
  ReadFileRangeArgs read;
  read.path = base.c_str();
  read.buffer = bytes.data();
  read.size = length;
  if (ReadFileRange(read) != length) return false;
  return WriteWholeFile(target, bytes);
}

// What the passes cannot use: entries out of order (lookups would miss them)
// and CHI texts that do not begin with a GBK character. Empty when fine.
std::string CheckDictionary(const QorvStringDict& dictionary) {
  const DictRecord* records = dictionary.records();
  for (std::uint32_t i = 0; i < dictionary.count(); ++i) {
    if (i > 0 && CompareKeyA(records[i - 1].ENG, records[i].ENG) != 2)
      return "entry " + std::to_string(i) + " is not in ascending key order";
    const DictRecord& entry = records[i];
    if (lstrcmpiA(entry.CHI, pass_text::kNoChange) == 0) continue;
    const auto lead = static_cast<unsigned char>(entry.CHI[0]);
    const unsigned code = entry.CHILength >= 2 ? lead * 256u + static_cast<unsigned char>(entry.CHI[1]) : 0;
    if (lead < 0x81 || !GbkCodeToUnicode(code))
      return "entry " + std::to_string(i) + " has a CHI text that does not begin with a GBK character";
  }
  return "";
}

bool HasEmbeddedBlock(int id) { return FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), "DATA"); }

// Lays an embedded block down as a hidden file; the failure to report.
std::optional<FontBuildStatus> LayDownBlock(int id, const char* path) {
  if (ExtractDataResource(MAKEINTRESOURCEA(id), path) == 1) return std::nullopt;
  return HasEmbeddedBlock(id) ? FontBuildStatus::kOutputUnwritable : FontBuildStatus::kNoEmbeddedData;
}

// The face check and the base file test, before anything is written.
std::optional<FontBuildResult> CheckInputs(const FontBuildRequest& request, FontBuildResult& result,
                                           std::vector<RenderFace>& fallbacks, std::uint32_t& baseLength) {
  const FaceCheck face = CheckFace(request.faceName.c_str(), request.ops);
  result.faceUsed = face.faceUsed;
  result.exactFace = face.exact;
  if (!face.fontCreated) return Fail(result, FontBuildStatus::kUnknownFace, "");
  if (!face.exact && !request.allowSubstitute) return Fail(result, FontBuildStatus::kUnknownFace, face.faceUsed);
  result.faceCharSet = face.charSet;
  for (const std::string& fallback : request.style.fallbackFaces) {
    const FaceCheck check = CheckFace(fallback.c_str(), request.ops);
    if (!check.exact) return Fail(result, FontBuildStatus::kUnknownFallback, fallback);
    fallbacks.push_back(RenderFace{fallback, check.charSet});
  }

  if (request.basePath.empty()) return std::nullopt;
  ReadFileRangeArgs size;
  size.path = request.basePath.c_str();
  baseLength = ReadFileRange(size);
  if (IsDirectory(request.basePath) || baseLength == kFileRangeFailed)
    return Fail(result, FontBuildStatus::kBaseUnreadable, "");
  unsigned char head[4] = {};
  ReadFileRangeArgs read = size;
  read.buffer = head;
  read.size = sizeof(head);
  // The count is read whatever the length, so that the message tells both.
  const std::uint32_t count = ReadFileRange(read) == sizeof(head) ? ReadGlyphCount(head) : 0;
  if (baseLength < kFontFileLength || count != kIndexedGlyphCount) {
    const std::string detail = Say(MessageId::kBaseFileSizes, request.language,
                                   {std::to_string(baseLength), std::to_string(count), std::to_string(kFontFileLength),
                                    std::to_string(kIndexedGlyphCount)});
    return Fail(result, FontBuildStatus::kBaseRefused, detail);
  }
  return std::nullopt;
}

// The characters the passes draw: the first of every entry's CHI text that
// names one, in entry order.
std::vector<std::uint16_t> DrawnCharacters(const QorvStringDict& dictionary) {
  std::vector<std::uint16_t> characters;
  for (std::uint32_t i = 0; i < dictionary.count(); ++i) {
    const DictRecord& entry = dictionary.records()[i];
    if (entry.CHILength < 2 || lstrcmpiA(entry.CHI, pass_text::kNoChange) == 0) continue;
    characters.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(entry.CHI[0]) << 8 |
                                                    static_cast<unsigned char>(entry.CHI[1])));
  }
  return characters;
}

}  // namespace

namespace {

FaceCheck CheckFaceUnder(const char* faceName, int charSet, const GlyphRenderOps* ops) {
  FontRequest request;
  request.height = 20;
  request.charSet = charSet;
  const SelectedFont font(faceName, request, ops);
  FaceCheck check;
  check.fontCreated = font.fontCreated();
  check.faceUsed = font.FaceName();
  check.exact = font.FaceMatches();
  check.charSet = charSet;
  return check;
}

}  // namespace

FaceCheck CheckFace(const char* faceName, const GlyphRenderOps* ops) {
  const FaceCheck check = CheckFaceUnder(faceName, GB2312_CHARSET, ops);
  if (check.exact) return check;
  const auto charSet = FaceCharSet(faceName ? faceName : "");
  if (!charSet || *charSet == GB2312_CHARSET) return check;
  const FaceCheck other = CheckFaceUnder(faceName, *charSet, ops);
  return other.exact ? other : check;
}

bool UncommittedFont::Commit() {
  if (!work_ || work_->path().empty()) return true;
  return work_->ReplaceTarget(output_);
}

FontBuildResult BuildFont(const FontBuildRequest& request, FontBuildObserver& observer) {
  UncommittedFont font;
  FontBuildResult result = BuildFontUncommitted(request, observer, font);
  if (result.status == FontBuildStatus::kOk && !font.Commit())
    return Fail(result, FontBuildStatus::kOutputUnwritable, "");
  return result;
}

FontBuildResult BuildFontUncommitted(const FontBuildRequest& request, FontBuildObserver& observer,
                                     UncommittedFont& font) {
  FontBuildResult result;
  result.style = request.style;
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
    result.passes[i].mode = SizeModeTable[i].mode;
    result.passes[i].fontHeight = SizeModeTable[i].fontHeight;
  }

  // Font files first: a face asked for before its file is there keeps the
  // substitute GDI found for it.
  std::vector<std::unique_ptr<PrivateFontFile>> fontFiles;
  for (const std::string& file : request.style.fontFiles) {
    fontFiles.push_back(std::make_unique<PrivateFontFile>(file));
    if (fontFiles.back()->fontsAdded() == 0) return Fail(result, FontBuildStatus::kFontFileUnusable, file);
  }

  // The dictionary is read while the inputs are checked, straight from the
  // program or the user's file; only where a copy is asked for (the
  // window's, beside the program) is it laid down first and read from there.
  const bool embeddedDictionary = request.dictionaryPath.empty();
  const bool copyDictionary = embeddedDictionary && !request.policy.dictionaryCopyPath.empty();
  QorvStringDict dictionary;
  std::uint32_t dictionaryEntries = 0;
  FontImage image;  // one block for the three passes: its pages are reused
  std::optional<BackgroundWork> dictionaryLoad;
  if (!copyDictionary) {
    dictionaryLoad.emplace([&] {
      dictionaryEntries = embeddedDictionary ? LoadEmbeddedDictionary(dictionary)
                                             : LoadDictionaryFile(dictionary, request.dictionaryPath.c_str());
      // The image's pages, had now rather than in the first pass's read.
      if (image.PrepareForRead(kFontFileLength)) image.Populate();
    });
  }

  // The embedded stock file is laid down as a temporary work file while the
  // inputs are checked too; it goes again if they fail.
  const std::string& output = request.outputPath;
  const bool inPlace = request.policy.workFile == FontWorkFile::kInPlace;
  font.output_ = output;
  TemporaryFile& workCopy =
      font.work_.emplace(inPlace || output.empty() ? std::string() : TemporaryPathBeside(output, "font"));
  const std::string workPath = inPlace ? output : std::string(workCopy.c_str());
  std::optional<FontBuildStatus> fontLayDownFailure;
  std::uint32_t baseLength = kFontFileLength;
  auto layDownFont = [&] {
    if (request.basePath.empty()) {
      fontLayDownFailure = LayDownBlock(kStockFontBlock, workPath.c_str());
    } else if (!CopyBase(request.basePath, workPath.c_str(), baseLength)) {
      fontLayDownFailure = FontBuildStatus::kOutputUnwritable;
    }
  };
  std::optional<BackgroundWork> fontLayDown;
  if (!inPlace && !output.empty() && request.basePath.empty() && request.policy.checkFirst)
    fontLayDown.emplace(layDownFont);

  std::vector<RenderFace> fallbacks;
  for (const std::string& fallback : request.style.fallbackFaces) fallbacks.push_back(RenderFace{fallback});
  if (request.policy.checkFirst) {
    fallbacks.clear();
    if (auto failed = CheckInputs(request, result, fallbacks, baseLength)) return *failed;
  }

  if (output.empty() || IsDirectory(output)) return Fail(result, FontBuildStatus::kOutputUnwritable, "");
  if (!inPlace) {
    // What builds of this output left when they were killed (earlier
    // versions laid a dictionary copy down beside it too).
    RemoveStaleTemporaryFiles(output, "font");
    RemoveStaleTemporaryFiles(output, "dict");
  }
  TemporaryFile dictionaryCopy(copyDictionary ? request.policy.dictionaryCopyPath : std::string());
  const char* dictionaryPath = copyDictionary ? dictionaryCopy.c_str() : request.dictionaryPath.c_str();

  // The glyph workers draw the dictionary's characters while the font file
  // is laid down. Both files are laid down, whatever became of the other; a
  // failure to lay down counts before anything else.
  std::optional<FontBuildStatus> dictionaryLayDownFailure;
  if (copyDictionary) {
    dictionaryLayDownFailure = LayDownBlock(kDictionaryBlock, dictionaryPath);
    if (!dictionaryLayDownFailure) dictionaryEntries = LoadDictionaryFile(dictionary, dictionaryPath);
  } else {
    dictionaryLoad->Join();
    if (embeddedDictionary && dictionaryEntries == 0 && !HasEmbeddedBlock(kDictionaryBlock))
      dictionaryLayDownFailure = FontBuildStatus::kNoEmbeddedData;
  }
  result.dictionaryEntries = dictionaryEntries;
  if (!fontLayDown) fontLayDown.emplace(layDownFont);

  // Checked before measuring, which takes long; else while the cells are
  // drawn, which a problem found then stops.
  std::string dictionaryProblem;
  auto checkDictionary = [&] {
    if (request.policy.checkFirst && result.dictionaryEntries != 0) dictionaryProblem = CheckDictionary(dictionary);
  };
  const BuildStyle& style = request.style;
  const bool measure = StyleMeasures(style);
  if (measure) checkDictionary();
  const bool dictionaryUsable = result.dictionaryEntries != 0 && dictionaryProblem.empty();

  // The style of each pass: fitted and centred where the style asks for it.
  const std::vector<std::uint16_t> characters =
      dictionaryUsable ? DrawnCharacters(dictionary) : std::vector<std::uint16_t>();
  const RenderFace face{request.faceName, result.faceCharSet};
  StyleFitRequest fitRequest;
  fitRequest.face = face;
  fitRequest.fallbackFaces = fallbacks;
  fitRequest.characters = characters;
  fitRequest.ops = request.ops;
  fitRequest.threads = request.threads;
  const PassStyles passStyles =
      ResolvePassStyles(style, measure && dictionaryUsable ? &fitRequest : nullptr,
                        [&observer](const GlyphSizeInfo& size) { observer.MeasuringStarted(size); });
  result.fits = passStyles.fits;

  // Every size's cells, drawn on every core while the file is laid down
  // and while the passes before them read and write it.
  std::optional<CellDrawing> drawing;
  if (dictionaryUsable) StartPassCells(drawing, face, fallbacks, passStyles, characters, request.ops, request.threads);
  if (!measure) checkDictionary();

  // Single characters' own cells; a glyph refused stops the build before
  // anything is written.
  OwnCells ownCells;
  if (dictionaryUsable && !style.glyphs.empty()) {
    OwnCellsRequest own{&style.glyphs,           face,        fallbacks,       &dictionary,     {}, measure,
                        request.allowSubstitute, request.ops, request.threads, request.language};
    own.fits = result.fits;
    const std::string refusal = DrawOwnCells(own, ownCells);
    if (!refusal.empty()) return Fail(result, FontBuildStatus::kGlyphRefused, refusal);
  }

  fontLayDown->Join();
  if (fontLayDownFailure) return Fail(result, *fontLayDownFailure, "");
  if (dictionaryLayDownFailure) return Fail(result, *dictionaryLayDownFailure, "");
  if (request.policy.checkFirst && result.dictionaryEntries == 0)
    return Fail(result, FontBuildStatus::kDictionaryNotLoaded, "");
  if (!dictionaryProblem.empty()) return Fail(result, FontBuildStatus::kDictionaryNotLoaded, dictionaryProblem);

  if (!style.glyphs.empty() && dictionaryUsable) {
    // The code table the passes will meet, read from the file they rewrite.
    std::vector<unsigned char> head(4 + kCodeTableBytes);
    ReadFileRangeArgs read;
    read.path = workPath.c_str();
    read.buffer = head.data();
    read.size = static_cast<std::uint32_t>(head.size());
    head.resize(ReadFileRange(read) == head.size() ? head.size() : 0);
    const std::string unreached = UnreachedGlyph(style.glyphs, head, dictionary, request.language);
    if (!unreached.empty()) return Fail(result, FontBuildStatus::kGlyphRefused, unreached);
  }

  PassRunRequest passes;
  passes.faceName = request.faceName.c_str();
  passes.workPath = workPath.c_str();
  passes.dictionaryPath = dictionaryPath;
  passes.options.ops = request.ops;
  passes.options.image = &image;
  passes.options.faceCharSet = result.faceCharSet;
  passes.options.fallbackFaces = fallbacks;
  passes.options.dictionary = &dictionary;
  passes.options.threads = request.threads;
  passes.styles = &passStyles;
  passes.drawing = drawing ? &*drawing : nullptr;
  if (!style.glyphs.empty()) passes.overrides = &ownCells;
  passes.stopAtFirstFailure = request.policy.checkFirst;
  const std::optional<std::size_t> failedPass = RunPasses(passes, observer, result.passes);
  if (failedPass)
    return Fail(result, FontBuildStatus::kPassFailed, std::to_string(result.passes[*failedPass].fontHeight) + " px");
  if (!request.policy.checkFirst) {
    result.exactFace = result.passes[0].result.exactFace;
  }
  // The finished file stays hidden beside the output until it is committed.
  return result;
}

}  // namespace qzf
