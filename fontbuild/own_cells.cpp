#include "fontbuild/own_cells.h"

#include <algorithm>
#include <cstring>

#include "fontbuild/font_build.h"
#include "fontpatch/cell_drawing.h"
#include "fontpatch/cell_image.h"
#include "fontpatch/pass_messages.h"
#include "platform/base/codepage.h"
#include "platform/win32.h"

namespace qzf {
namespace {

// The character the dictionary draws a code's cell from; nullopt for a code it keeps.
std::optional<std::uint16_t> CharacterOfCode(const QorvStringDict& dictionary, std::uint16_t code) {
  const CodeKey key = MakeCodeKey(code);
  const DictRecord* entry = dictionary.FindRecordA(key.data());
  if (entry == nullptr || entry->CHILength < 2 || lstrcmpiA(entry->CHI, pass_text::kNoChange) == 0) return std::nullopt;
  return static_cast<std::uint16_t>(static_cast<unsigned char>(entry->CHI[0]) << 8 |
                                    static_cast<unsigned char>(entry->CHI[1]));
}

}  // namespace

std::string DrawOwnCells(const OwnCellsRequest& request, OwnCells& out) {
  for (const GlyphOverride& glyph : *request.glyphs) {
    const std::optional<std::uint16_t> character =
        glyph.code ? CharacterOfCode(*request.dictionary, *glyph.code) : glyph.character;
    RenderFace face = request.face;
    if (!glyph.face.empty()) {
      const FaceCheck check = CheckFace(glyph.face.c_str(), request.ops);
      if (!check.fontCreated || (!check.exact && !request.allowSubstitute))
        return Say(MessageId::kGlyphFaceNotInstalled, request.language, {glyph.where, GbkToUtf8Lossy(glyph.face)});
      face = RenderFace{glyph.face, check.charSet};
    }
    std::vector<GlyphTask> tasks;
    std::vector<std::size_t> taskSizes;
    for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
      CellOverride cell;
      if (glyph.code) {
        cell.code = glyph.code;
      } else {
        cell.character = glyph.character;
      }
      if (!glyph.images[i].empty()) {
        cell.bytes = PackCellLevels(glyph.images[i], SizeModeTable[i]);
        cell.drawing.drawn = true;
      } else if (character) {
        GlyphStyle style = glyph.sizes[i];
        if (request.fitted) {
          if (!glyph.emHeightGiven[i]) style.emHeight = request.fits[i].emHeight;
          style.shiftX += request.fits[i].alignX;
          style.shiftY += request.fits[i].alignY;
        }
        tasks.push_back(GlyphTask{SizeModeTable[i], style});
        taskSizes.push_back(i);
      }
      out[i].push_back(std::move(cell));
    }
    if (tasks.empty()) continue;
    CellDrawing drawing(face, request.fallbacks, tasks, {*character}, request.ops, request.threads);
    for (std::size_t t = 0; t < tasks.size(); ++t) {
      const RenderedCells& cells = drawing.Wait(t);
      if (cells.info.status != GlyphRenderer::Status::kOk || !cells.prepared())
        return Say(MessageId::kGlyphFaceNotDrawn, request.language,
                   {glyph.where, std::to_string(SizeModeTable[taskSizes[t]].cellSize)});
      const auto drawn = cells.Find(*character);
      if (!drawn || !drawn->drawing->drawn) continue;  // the pass counts it as a glyph that failed
      CellOverride& cell = out[taskSizes[t]].back();
      cell.drawing = *drawn->drawing;
      cell.bytes.assign(drawn->bytes.begin(), drawn->bytes.end());
    }
  }
  return "";
}

std::string UnreachedGlyph(const std::vector<GlyphOverride>& glyphs, std::span<const unsigned char> file,
                           const QorvStringDict& dictionary, MessageLanguage language) {
  const std::uint32_t count = file.size() >= 4 ? ReadGlyphCount(file.data()) : 0;
  std::vector<bool> codes(0x10000, false), characters(0x10000, false);
  for (std::uint32_t i = 0; i < count && 4 + 2 * std::size_t{i} + 2 <= file.size(); ++i) {
    const std::uint16_t code = CodeAt(file.data(), i);
    codes[code] = true;
    if (const auto character = CharacterOfCode(dictionary, code)) characters[*character] = true;
  }
  for (const GlyphOverride& glyph : glyphs) {
    if (glyph.code && !codes[*glyph.code]) return Say(MessageId::kGlyphNoSuchCode, language, {glyph.where});
    if (glyph.character && !characters[*glyph.character])
      return Say(MessageId::kGlyphNotReached, language, {glyph.where});
    const bool drawn = std::any_of(glyph.images.begin(), glyph.images.end(), [](const auto& i) { return i.empty(); });
    if (glyph.code && drawn && !CharacterOfCode(dictionary, *glyph.code))
      return Say(MessageId::kGlyphCodeKept, language, {glyph.where});
  }
  return "";
}

}  // namespace qzf
