#include "fontpatch/patch_pass.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "dict/load_dictionary_file.h"
#include "dict/qorv_string_dict.h"
#include "fileutil/atomic_file_write.h"
#include "fileutil/ensure_directory_path.h"
#include "fileutil/file_range.h"
#include "fontpatch/cell_drawing.h"
#include "fontpatch/pass_messages.h"

namespace qzf {
PatchPassResult RunPatchPass(GlyphSizeMode mode, std::int32_t fontHeight, const char* faceName,
                             const char* fontFilePath, const char* dictionaryPath, const PatchPassOptions& options) {
  StdoutPassReporter stdoutReporter;
  PassReporter& report = options.reporter ? *options.reporter : stdoutReporter;
  PatchPassResult result;
  auto fail = [&](PatchPassStatus status, const char* message) {
    report.Message(message);
    result.status = status;
    return result;
  };

  QorvStringDict ownDictionary;
  const GlyphSizeInfo* size = LookUpSizeMode(mode);
  if (size == nullptr) return fail(PatchPassStatus::kInvalidMode, pass_text::kInvalidMode);
  if (fontFilePath == nullptr || std::strlen(fontFilePath) >= MAX_PATH)
    return fail(PatchPassStatus::kPathTooLong, pass_text::kPathTooLong);

  ReadFileRangeArgs sizeQuery;
  sizeQuery.path = fontFilePath;
  const std::uint32_t length = ReadFileRange(sizeQuery);
  if (length == kFileRangeFailed || length < kFontFileLength)
    return fail(PatchPassStatus::kInvalidFontFile, pass_text::kInvalidFontFile);

  FontImage ownImage;
  FontImage& image = options.image ? *options.image : ownImage;
  if (!image.PrepareForRead(length)) return fail(PatchPassStatus::kOutOfMemory, pass_text::kOutOfMemory);
  ReadFileRangeArgs read = sizeQuery;
  read.buffer = image.data();
  read.size = length;
  // A read that comes back short would be written back as zeros: refuse it.
  if (ReadFileRange(read) != length || !image.IsAccepted())
    return fail(PatchPassStatus::kInvalidFontFile, pass_text::kInvalidFontFile);

  if (options.dictionary == nullptr) LoadDictionaryFile(ownDictionary, dictionaryPath);
  const QorvStringDict& dictionary = options.dictionary ? *options.dictionary : ownDictionary;
  if (dictionary.count() == 0) return fail(PatchPassStatus::kDictionaryNotLoaded, pass_text::kDictionaryFailed);

  const std::uint32_t count = ReadGlyphCount(image.data());
  // The character each cell is drawn from, or none: the cell is kept.
  std::vector<std::optional<std::uint16_t>> drawnCharacters(count);
  std::vector<std::uint16_t> inTableOrder;
  for (std::uint32_t i = 0; i < count; ++i) {
    const CodeKey key = CodeKeyAt(image.data(), i);
    const DictRecord* entry = dictionary.FindRecordA(key.data());
    if (entry == nullptr || lstrcmpiA(entry->CHI, pass_text::kNoChange) == 0 || entry->CHILength < 2) continue;
    drawnCharacters[i] = static_cast<std::uint16_t>(static_cast<unsigned char>(entry->CHI[0]) << 8 |
                                                    static_cast<unsigned char>(entry->CHI[1]));
    inTableOrder.push_back(*drawnCharacters[i]);
  }

  std::optional<CellDrawing> ownDrawing;
  const RenderedCells* cells = options.cells ? &options.cells() : nullptr;
  if (cells == nullptr) {
    GlyphTask task{*size, options.style ? *options.style : GlyphStyle{}};
    task.size.fontHeight = fontHeight;
    ownDrawing.emplace(RenderFace{faceName ? faceName : "", options.faceCharSet}, options.fallbackFaces,
                       std::vector<GlyphTask>{task}, EachCharacterOnce(inTableOrder), options.ops, options.threads);
    cells = &ownDrawing->Wait(0);
  }
  if (cells->info.status == GlyphRenderer::Status::kFontCreationFailed)
    return fail(PatchPassStatus::kFontCreationFailed, pass_text::kFontCreationFailed);
  if (cells->info.status == GlyphRenderer::Status::kMemoryDcFailed)
    return fail(PatchPassStatus::kMemoryDcFailed, pass_text::kMemoryDcFailed);
  if (!cells->prepared()) return fail(PatchPassStatus::kOutOfMemory, pass_text::kOutOfMemory);
  result.exactFace = cells->info.exactFace;
  result.drawnByFace.assign(1 + options.fallbackFaces.size(), 0);
  result.fallbackGlyphs.resize(options.fallbackFaces.size());
  const std::vector<CellOverride> noOverrides;
  const std::vector<CellOverride>& overrides = options.overrides ? *options.overrides : noOverrides;
  result.overridden.resize(overrides.size());
  auto overrideOf = [&](std::uint16_t code,
                        const std::optional<std::uint16_t>& character) -> std::optional<std::size_t> {
    std::optional<std::size_t> byCharacter;
    for (std::size_t k = 0; k < overrides.size(); ++k) {
      if (overrides[k].code == code) return k;
      if (character && overrides[k].character == character && !byCharacter) byCharacter = k;
    }
    return byCharacter;
  };

  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint16_t code = CodeAt(image.data(), i);
    const auto overridden = overrides.empty() ? std::nullopt : overrideOf(code, drawnCharacters[i]);
    if (!drawnCharacters[i] && !overridden) {
      ++result.cellsKept;
      continue;
    }
    const std::uint16_t character = drawnCharacters[i].value_or(0);
    std::optional<RenderedCells::Cell> cell;
    if (overridden) {
      const CellOverride& own = overrides[*overridden];
      if (!own.bytes.empty()) cell = RenderedCells::Cell{&own.drawing, own.bytes};
    } else {
      cell = cells->Find(character);
    }
    // A glyph whose query failed leaves its cell as it was.
    if (!cell || !cell->drawing->drawn) {
      ++result.glyphErrors;
      continue;
    }
    const DrawnCell& drawing = *cell->drawing;
    const GlyphFinding finding{i, code, character, 0};
    if (overridden) result.overridden[*overridden].push_back(finding);
    if (drawing.missing) {
      ++result.missingGlyphs;
      result.missing.push_back(finding);
    } else if (drawing.face < result.drawnByFace.size()) {
      ++result.drawnByFace[drawing.face];
      if (drawing.face > 0) result.fallbackGlyphs[drawing.face - 1].push_back(finding);
    }
    std::memcpy(image.data() + CellOffset(*size, i), cell->bytes.data(), size->bytesPerCell);
    if (drawing.droppedInk != 0) {
      result.cutInk.push_back(finding);
      result.cutInk.back().pixels = drawing.droppedInk;
    }
    ++result.cellsRewritten;
    report.GlyphRendered(i, count);
  }

  char directoryPath[1024];
  std::snprintf(directoryPath, sizeof(directoryPath), "%s", fontFilePath);
  EnsureDirectoryPath(directoryPath);

  if (!WriteWholeFile(fontFilePath, {image.data(), length}))
    return fail(PatchPassStatus::kWriteFailed, pass_text::kWriteFailed);

  report.Message(pass_text::kPassDone);
  return result;
}

}  // namespace qzf
