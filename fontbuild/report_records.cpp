#include "fontbuild/report_records.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <type_traits>

#include "fontbuild/style_table.h"
#include "platform/base/codepage.h"

namespace qzf {
namespace {

using Json = nlohmann::ordered_json;

Json Header(const char* record) { return Json{{"record", record}, {"version", kReportRecordVersion}}; }

std::string Finish(const Json& record) {
  // Text that is not GBK passes through unconverted: never let it stop the record.
  return record.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string CodeText(std::uint16_t code) {
  char text[8];
  std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(code));
  return text;
}

std::string CharacterText(std::uint16_t gbk) {
  const char bytes[2] = {static_cast<char>(gbk >> 8), static_cast<char>(gbk & 0xFF)};
  return GbkToUtf8Lossy(std::string_view(bytes, 2));
}

Json Findings(const std::vector<GlyphFinding>& findings, bool withPixels) {
  Json list = Json::array();
  for (const GlyphFinding& f : findings) {
    // A kept cell given a picture of its own has no character.
    Json item{{"character", f.character ? Json(CharacterText(f.character)) : Json(nullptr)},
              {"code", CodeText(f.code)},
              {"position", f.position}};
    if (withPixels) item["pixels"] = f.pixels;
    list.push_back(std::move(item));
  }
  return list;
}

Json JsonOf(const std::optional<StyleValue>& value) {
  if (!value) return nullptr;
  return std::visit(
      [](const auto& v) -> Json {
        if constexpr (std::is_same_v<std::decay_t<decltype(v)>, IntPair>) {
          return Json::array({v[0], v[1]});
        } else {
          return v;
        }
      },
      *value);
}

// The glyph style the cells were drawn in, each setting under its record
// name: per size the font asked for and the placement, with what fitting and
// centring chose.
Json StyleRecord(const FontBuildResult& result, const BuildRecordRequest& request) {
  const BuildStyle& style = result.style;
  Json record = Json::object();
  for (const StyleSetting& setting : StyleTable())
    if (setting.ofBuild) record[std::string(setting.recordName)] = JsonOf(setting.ofBuild(style));
  // Font files as the user gave them: the system paths may differ in their separators.
  if (request.fontFiles) record["font_files"] = *request.fontFiles;
  Json sizes = Json::array();
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
    const SizeFit& fit = result.fits[i];
    GlyphStyle drawn = style.sizes[i];
    drawn.emHeight = fit.emHeight;
    Json size{{"size", SizeModeTable[i].cellSize}};
    for (const StyleSetting& setting : StyleTable())
      if (setting.ofSize) size[std::string(setting.recordName)] = JsonOf(setting.ofSize(drawn));
    size["align_offset"] = {fit.alignX, fit.alignY};
    sizes.push_back(std::move(size));
  }
  record["sizes"] = std::move(sizes);
  return record;
}

// Per size, the characters each fallback face drew, as {"face", "characters"}
// entries; empty while a build draws with its one face.
Json FallbackRecord(const FontBuildResult& result, const FontBuildPass& pass) {
  Json list = Json::array();
  const auto& faces = result.style.fallbackFaces;
  for (std::size_t i = 0; i < pass.result.fallbackGlyphs.size() && i < faces.size(); ++i)
    list.push_back(
        {{"face", GbkToUtf8Lossy(faces[i])}, {"characters", Findings(pass.result.fallbackGlyphs[i], false)}});
  return list;
}

}  // namespace

std::string BuildRecordJson(const FontBuildResult& result, const BuildRecordRequest& request) {
  Json record = Header("build");
  record["output"] = request.output;
  record["face"] = {
      {"asked", request.faceAsked}, {"used", GbkToUtf8Lossy(result.faceUsed)}, {"matched", result.exactFace}};
  record["dictionary_entries"] = result.dictionaryEntries;
  record["style"] = StyleRecord(result, request);
  Json sizes = Json::array();
  for (const FontBuildPass& pass : result.passes) {
    const PatchPassResult& r = pass.result;
    sizes.push_back({{"size", pass.fontHeight},
                     {"cells_rewritten", r.cellsRewritten},
                     {"cells_kept", r.cellsKept},
                     {"glyph_errors", r.glyphErrors},
                     {"missing", Findings(r.missing, false)},
                     {"cut_ink", Findings(r.cutInk, true)},
                     {"fallback", FallbackRecord(result, pass)}});
  }
  record["sizes"] = std::move(sizes);
  // The cells each character's own settings changed, per size.
  Json glyphs = Json::array();
  for (std::size_t k = 0; k < result.style.glyphs.size(); ++k) {
    const GlyphOverride& glyph = result.style.glyphs[k];
    Json cells = Json::array();
    for (std::size_t i = 0; i < result.passes.size(); ++i) {
      const auto& found = result.passes[i].result.overridden;
      cells.push_back({{"size", SizeModeTable[i].cellSize},
                       {"cells", Findings(k < found.size() ? found[k] : std::vector<GlyphFinding>{}, false)}});
    }
    Json entry{{"key", glyph.key}, {"image", false}, {"sizes", std::move(cells)}};
    for (const auto& image : glyph.images)
      if (!image.empty()) entry["image"] = true;
    glyphs.push_back(std::move(entry));
  }
  record["glyphs"] = std::move(glyphs);
  return Finish(record);
}

std::string CheckRecordJson(
    const std::string& file, const FontFileSummary& summary,
    const std::optional<std::array<std::vector<GlyphFinding>, SizeModeTable.size()>>& blankWithCharacter) {
  Json record = Header("check");
  record["file"] = file;
  record["length"] = summary.length;
  record["glyph_count"] = summary.count;
  record["accepted"] = summary.accepted;
  record["extra_bytes"] = summary.extraBytes;
  Json sizes = Json::array();
  if (summary.accepted) {
    for (std::size_t t = 0; t < SizeModeTable.size(); ++t) {
      Json size{{"size", SizeModeTable[t].cellSize},
                {"blank_cells", summary.blankCells[t]},
                {"blank_unindexed_cells", summary.blankUnindexed[t]}};
      if (blankWithCharacter) size["blank_with_character"] = Findings((*blankWithCharacter)[t], false);
      sizes.push_back(std::move(size));
    }
  }
  record["sizes"] = std::move(sizes);
  return Finish(record);
}

std::string DiffRecordJson(const std::string& a, const std::string& b, const FontFileDiff& diff) {
  Json record = Header("diff");
  record["a"] = a;
  record["b"] = b;
  Json sizes = Json::array();
  for (std::size_t t = 0; t < SizeModeTable.size(); ++t) {
    sizes.push_back({{"size", SizeModeTable[t].cellSize},
                     {"cells_differ", diff.changedCells[t].size()},
                     {"positions", diff.changedCells[t]}});
  }
  record["sizes"] = std::move(sizes);
  record["outside_tables"] = {{"differs", diff.headerDiffers || diff.unindexedDiffers || diff.tailDiffers},
                              {"count_or_code_table", diff.headerDiffers},
                              {"unindexed_cells", diff.unindexedDiffers},
                              {"length_or_trailing_bytes", diff.tailDiffers}};
  return Finish(record);
}

std::string FontsRecordJson(std::uint32_t dictionaryCharacters, const std::vector<FaceCoverage>& faces) {
  Json record = Header("fonts");
  record["dictionary_characters"] = dictionaryCharacters;
  Json list = Json::array();
  for (const FaceCoverage& f : faces) {
    Json others = Json::array();
    for (const std::string& name : f.face.otherNames) others.push_back(GbkToUtf8Lossy(name));
    list.push_back({{"name", GbkToUtf8Lossy(f.face.name)},
                    {"other_names", std::move(others)},
                    {"drawable", f.drawable},
                    {"all", f.drawable == dictionaryCharacters}});
  }
  record["faces"] = std::move(list);
  return Finish(record);
}

}  // namespace qzf
