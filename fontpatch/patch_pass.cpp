#include "fontpatch/patch_pass.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "dict/load_dictionary_file.h"
#include "dict/qorv_string_dict.h"
#include "fileutil/ensure_directory_path.h"
#include "fileutil/file_range.h"
#include "fontpatch/glyph_packing.h"
#include "fontpatch/pass_messages.h"
#include "platform/portable/selected_font.h"

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

  SelectedFont font(ops, fontHeight, DEFAULT_QUALITY, faceName);
  if (!font.fontCreated()) return fail(PatchPassStatus::kFontCreationFailed, pass_text::kFontCreationFailed);
  if (!font.dc()) return fail(PatchPassStatus::kMemoryDcFailed, pass_text::kMemoryDcFailed);
  const HDC dc = font.dc();
  result.exactFace = font.FaceMatches();

  TEXTMETRICA metrics{};
  ops.getTextMetricsFn(dc, &metrics);
  const std::int32_t ascent = metrics.tmAscent;

  MAT2 identity{};
  identity.eM11.value = 1;
  identity.eM22.value = 1;

  const std::uint32_t count = ReadGlyphCount(image.data());
  std::vector<unsigned char> bitmap;
  for (std::uint32_t i = 0; i < count; ++i) {
    const CodeKey key = CodeKeyAt(image.data(), i);
    const DictRecord* entry = dictionary.FindRecordA(key.data());
    if (entry == nullptr || lstrcmpiA(entry->CHI, pass_text::kNoChange) == 0 || entry->CHILength < 2) {
      ++result.cellsKept;
      continue;
    }
    const auto lead = static_cast<unsigned char>(entry->CHI[0]);
    const auto trail = static_cast<unsigned char>(entry->CHI[1]);
    const UINT character = lead * 256u + trail;

    GLYPHMETRICS glyph{};
    const DWORD needed = ops.getGlyphOutlineFn(dc, character, GGO_GRAY4_BITMAP, &glyph, 0, nullptr, &identity);
    if (needed == GDI_ERROR) {
      ++result.glyphErrors;
      continue;
    }
    try {
      bitmap.assign(static_cast<std::size_t>(needed) + 4, 0);
    } catch (const std::bad_alloc&) {
      ++result.glyphErrors;
      continue;
    }
    // A zero size asks nothing more of the font: the glyph is empty.
    if (needed != 0 &&
        ops.getGlyphOutlineFn(dc, character, GGO_GRAY4_BITMAP, &glyph, needed, bitmap.data(), &identity) == GDI_ERROR) {
      ++result.glyphErrors;
      continue;
    }
    const GlyphFinding finding{i, CodeAt(image.data(), i), static_cast<std::uint16_t>(character), 0};
    WORD index = 0;
    if (ops.getGlyphIndicesFn(dc, entry->CHI, 2, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 && index == 0xFFFF) {
      ++result.missingGlyphs;
      result.missing.push_back(finding);
    }

    const GlyphBitmap packed{glyph.gmBlackBoxX, glyph.gmBlackBoxY, glyph.gmptGlyphOrigin.x, glyph.gmptGlyphOrigin.y,
                             std::span<const unsigned char>(bitmap.data(), bitmap.size())};
    if (const std::uint32_t dropped = PackGlyphIntoCell(image.bytes(), *size, i, ascent, packed)) {
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
