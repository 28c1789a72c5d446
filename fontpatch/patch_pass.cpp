#include "fontpatch/patch_pass.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "dict/load_dictionary_file.h"
#include "dict/qorv_string_dict.h"
#include "fileutil/ensure_directory_path.h"
#include "fileutil/file_range.h"
#include "fontpatch/glyph_packing.h"
#include "fontpatch/glyph_renderer.h"
#include "fontpatch/pass_messages.h"

namespace qzf {
PatchPassResult RunPatchPass(GlyphSizeMode mode, std::int32_t fontHeight, const char* faceName,
                             const char* fontFilePath, const char* dictionaryPath, const PatchPassOptions& options) {
  StdoutPassReporter stdoutReporter;
  PassReporter& report = options.reporter ? *options.reporter : stdoutReporter;
  const GlyphRenderOps ops = ResolveGlyphRenderOps(options.ops);
  PatchPassResult result;
  auto fail = [&](PatchPassStatus status, const char* message) {
    report.Message(message);
    result.status = status;
    return result;
  };

  QorvStringDict dictionary;
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

  if (LoadDictionaryFile(dictionary, dictionaryPath) == 0)
    return fail(PatchPassStatus::kDictionaryNotLoaded, pass_text::kDictionaryFailed);

  GlyphSizeInfo sizeAsked = *size;
  sizeAsked.fontHeight = fontHeight;
  const GlyphStyle style = options.style ? *options.style : GlyphStyle{};
  GlyphRenderer renderer(RenderFace{faceName ? faceName : "", options.faceCharSet}, sizeAsked, style,
                         options.fallbackFaces, &ops);
  if (renderer.status() == GlyphRenderer::Status::kFontCreationFailed)
    return fail(PatchPassStatus::kFontCreationFailed, pass_text::kFontCreationFailed);
  if (renderer.status() == GlyphRenderer::Status::kMemoryDcFailed)
    return fail(PatchPassStatus::kMemoryDcFailed, pass_text::kMemoryDcFailed);
  result.exactFace = renderer.exactFace();
  result.drawnByFace.assign(1 + options.fallbackFaces.size(), 0);
  result.fallbackGlyphs.resize(options.fallbackFaces.size());

  const std::uint32_t count = ReadGlyphCount(image.data());
  for (std::uint32_t i = 0; i < count; ++i) {
    const CodeKey key = CodeKeyAt(image.data(), i);
    const DictRecord* entry = dictionary.FindRecordA(key.data());
    if (entry == nullptr || lstrcmpiA(entry->CHI, pass_text::kNoChange) == 0 || entry->CHILength < 2) {
      ++result.cellsKept;
      continue;
    }
    const auto character = static_cast<std::uint16_t>(static_cast<unsigned char>(entry->CHI[0]) << 8 |
                                                      static_cast<unsigned char>(entry->CHI[1]));
    const std::optional<RenderedGlyph> glyph = renderer.Render(character);
    if (!glyph) {
      ++result.glyphErrors;
      continue;
    }
    const GlyphFinding finding{i, CodeAt(image.data(), i), character, 0};
    if (glyph->missing) {
      ++result.missingGlyphs;
      result.missing.push_back(finding);
    } else {
      ++result.drawnByFace[glyph->face];
      if (glyph->face > 0) result.fallbackGlyphs[glyph->face - 1].push_back(finding);
    }
    if (const std::uint32_t dropped = PackGlyphIntoCell(image.bytes(), *size, i, renderer.placement(), glyph->bitmap)) {
      result.cutInk.push_back(finding);
      result.cutInk.back().pixels = dropped;
    }
    ++result.cellsRewritten;
    report.GlyphRendered(i, count);
  }

  char directoryPath[1024];
  std::snprintf(directoryPath, sizeof(directoryPath), "%s", fontFilePath);
  EnsureDirectoryPath(directoryPath);

  WriteFileRangeArgs write;
  write.path = fontFilePath;
  write.data = image.data();
  write.offset = 0;
  write.size = length;
  write.creationDisposition = CREATE_ALWAYS;
  if (WriteFileRange(write) != length) return fail(PatchPassStatus::kWriteFailed, pass_text::kWriteFailed);

  report.Message(pass_text::kPassDone);
  return result;
}

}  // namespace qzf
