#include "studio/studio_api.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <functional>

#include "fileutil/atomic_file_write.h"
#include "fileutil/ensure_directory_path.h"
#include "fileutil/file_range.h"
#include "fontbuild/build_style_of.h"
#include "fontbuild/face_coverage.h"
#include "fontbuild/font_build.h"
#include "fontbuild/style_file.h"
#include "fontbuild/style_messages.h"
#include "fontbuild/style_table.h"
#include "fontbuild/style_tree.h"
#include "fontpatch/cell_image.h"
#include "fontpatch/font_file_report.h"
#include "fontpatch/font_format.h"
#include "platform/base/codepage.h"
#include "platform/portable/system_path.h"
#include "platform/win32.h"
#include "preview/preview_lines.h"
#include "preview/text_layout.h"
#include "preview/utf8_text.h"
#include "studio/base64.h"
#include "studio/glyph_images.h"
#include "studio/live_cells.h"
#include "studio/output_name.h"
#include "studio/page_files.h"
#include "studio/request_guard.h"
#include "studio/request_json.h"
#include "studio/studio_language.h"
#include "studio/style_json.h"

namespace qzf::studio {
namespace {

using nlohmann::json;

std::int64_t NowTicks() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

HttpResponse Json(const json& value, int status = 200) {
  HttpResponse response;
  response.status = status;
  response.contentType = "application/json; charset=utf-8";
  response.body = value.dump(-1, ' ', false, json::error_handler_t::replace);
  return response;
}

// A refusal the page shows: {"error": "..."}.
HttpResponse Refuse(int status, const std::string& message) { return Json(json{{"error", message}}, status); }

std::string LevelsHex(const std::vector<std::uint8_t>& levels) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex(levels.size(), '0');
  for (std::size_t i = 0; i < levels.size(); ++i) hex[i] = kDigits[levels[i] & 0x0F];
  return hex;
}

std::string CharacterText(std::uint16_t gbk) {
  const char bytes[2] = {static_cast<char>(gbk >> 8), static_cast<char>(gbk & 0xFF)};
  return GbkToUtf8Lossy(std::string_view(bytes, 2));
}

std::string Hex4(std::uint16_t code) {
  char text[8];
  std::snprintf(text, sizeof(text), "%04X", static_cast<unsigned>(code));
  return text;
}

// A cell size (20, 24, 64) as its index.
std::optional<std::size_t> SizeIndexFrom(const json& value, const std::string& name, std::string& error) {
  std::int64_t size = 0;
  if (!ReadInteger(value, name, 0, 1024, size, error)) return std::nullopt;
  const auto index = SizeIndexOf(static_cast<int>(size));
  if (!index) error = Text(MessageId::kFieldCellSize, name);
  return index;
}

// The byte strings of two paths compared as the file system would: '/' and
// '\\' alike, and on Windows any case.
std::string PathKey(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
#ifdef _WIN32
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
#endif
  }
  return path;
}

}  // namespace

StudioApi::StudioApi(const StudioData& data, StudioSettings settings, const GlyphRenderOps* ops)
    : data_(data),
      settings_(std::move(settings)),
      ops_(ops),
      workshop_(data, ops),
      reached_(ReachedCharacters(data)),
      lastContact_(NowTicks()) {}

std::chrono::steady_clock::time_point StudioApi::lastContact() const {
  return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(lastContact_.load()));
}

const StudioApi::Route* StudioApi::FindRoute(const std::string& method, const std::string& path, bool& pathKnown) {
  static const Route kRoutes[] = {
      {"GET", "/", 0, &StudioApi::IndexPage, nullptr},
      {"GET", "/index.html", 0, &StudioApi::IndexPage, nullptr},
      {"GET", "/studio.css", 0, &StudioApi::StaticFile, nullptr},
      {"GET", "/studio.js", 0, &StudioApi::StaticFile, nullptr},
      {"GET", "/api/state", 0, &StudioApi::State, nullptr},
      {"GET", "/api/faces", 0, &StudioApi::Faces, nullptr},
      {"GET", "/api/build", 0, &StudioApi::BuildStatus, nullptr},
      {"POST", "/api/preview", kMaxJsonBody, nullptr, &StudioApi::Preview},
      {"POST", "/api/cell", kMaxJsonBody, nullptr, &StudioApi::Cell},
      {"POST", "/api/findings", kMaxJsonBody, nullptr, &StudioApi::Findings},
      {"POST", "/api/fit", kMaxJsonBody, nullptr, &StudioApi::Fit},
      {"POST", "/api/build", kMaxJsonBody, nullptr, &StudioApi::StartBuild},
      {"POST", "/api/style/save", kMaxJsonBody, nullptr, &StudioApi::SaveStyle},
      {"POST", "/api/style/load", kMaxJsonBody, nullptr, &StudioApi::LoadStyle},
      {"POST", "/api/font-file", kMaxFontFileBody, nullptr, &StudioApi::AddFontFile},
      {"POST", "/api/glyph/image", kMaxJsonBody, nullptr, &StudioApi::GlyphImage},
      {"POST", "/api/heartbeat", kMaxSmallBody, nullptr, &StudioApi::Heartbeat},
      {"POST", "/api/quit", kMaxSmallBody, nullptr, &StudioApi::Quit},
  };
  pathKnown = false;
  // HEAD is answered as GET, without the body.
  const std::string asked = method == "HEAD" ? "GET" : method;
  for (const Route& route : kRoutes) {
    if (path != route.path) continue;
    pathKnown = true;
    if (asked == route.method) return &route;
  }
  return nullptr;
}

HeadDecision StudioApi::CheckHead(const HttpRequest& head) const {
  HeadDecision decision;
  bool pathKnown = false;
  const Route* route = FindRoute(head.method, head.path, pathKnown);
  const GuardVerdict verdict = CheckRequest(head, settings_.token, settings_.port, route && route->json);
  if (verdict.status != 0) {
    decision.refusal = Refuse(verdict.status, verdict.message);
  } else if (!pathKnown) {
    decision.refusal = Refuse(404, Text(MessageId::kNoSuchPage));
  } else if (!route) {
    decision.refusal = Refuse(405, Text(MessageId::kMethodNotAllowed));
  } else {
    decision.maxBodyBytes = route->maxBody;
  }
  return decision;
}

HttpResponse StudioApi::Handle(const HttpRequest& request) {
  HttpResponse response = Dispatch(request);
  // The page's token must not leave with a link, and no other site may frame it.
  response.headers.emplace_back("Referrer-Policy", "no-referrer");
  response.headers.emplace_back("X-Frame-Options", "DENY");
  return response;
}

HttpResponse StudioApi::Dispatch(const HttpRequest& request) {
  // The server has judged the head already; a caller without one (a test)
  // gets the same verdict here.
  HeadDecision decision = CheckHead(request);
  if (decision.refusal) return *decision.refusal;
  if (request.body.size() > decision.maxBodyBytes) return Refuse(413, Text(MessageId::kRequestTooLarge));
  lastContact_.store(NowTicks());
  bool pathKnown = false;
  const StudioApi::Route* route = FindRoute(request.method, request.path, pathKnown);
  if (route->plain) return (this->*route->plain)(request);
  std::string error;
  const auto body = ParseJsonBody(request.body, error);
  if (!body) return Refuse(400, error);
  return (this->*route->json)(*body);
}

HttpResponse StudioApi::IndexPage(const HttpRequest&) { return Page("index.html"); }

HttpResponse StudioApi::StaticFile(const HttpRequest& request) { return Page(request.path.substr(1)); }

HttpResponse StudioApi::Heartbeat(const json& body) {
  if (const std::string unknown = UnknownField(body, {}); !unknown.empty()) return Refuse(400, unknown);
  return Json(json{{"ok", true}});
}

HttpResponse StudioApi::Quit(const json& body) {
  if (const std::string unknown = UnknownField(body, {}); !unknown.empty()) return Refuse(400, unknown);
  if (onQuit) onQuit();
  return Json(json{{"ok", true}});
}

HttpResponse StudioApi::Page(const std::string& name) {
  const auto file = FindPageFile(name);
  if (!file) return Refuse(404, Text(MessageId::kNoSuchPage));
  HttpResponse response;
  response.contentType = std::string(file->contentType);
  response.body = std::string(file->bytes);
  if (name == "index.html") {
    // The page's own links and calls carry the token.
    const std::string mark = "{{TOKEN}}";
    for (std::size_t at; (at = response.body.find(mark)) != std::string::npos;)
      response.body.replace(at, mark.size(), settings_.token);
    response.headers.emplace_back(
        "Content-Security-Policy",
        "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data: blob:; "
        "connect-src 'self'; form-action 'none'; frame-ancestors 'none'; base-uri 'none'");
  }
  return response;
}

HttpResponse StudioApi::State(const HttpRequest&) {
  json lines = json::array();
  for (const char* line : {kPreviewLine1, kPreviewLine2, kPreviewLine3}) lines.push_back(GbkToUtf8Lossy(line));
  json sizes = json::array();
  for (const GlyphSizeInfo& size : SizeModeTable) sizes.push_back(size.cellSize);
  return Json(json{{"folder", SystemPathToUtf8(settings_.outputFolder)},
                   {"defaultName", "F_FONTJ.qzf"},
                   {"defaultStyleName", "style.toml"},
                   {"previewLines", lines},
                   {"sizes", sizes},
                   {"version", settings_.version},
                   {"settings", StyleTableJson()},
                   {"limits", {{"previewText", kMaxPreviewText}}}});
}

HttpResponse StudioApi::Faces(const HttpRequest&) {
  std::lock_guard hold(facesMutex_);
  if (facesJson_.empty()) {
    std::vector<FaceCoverage> faces;
    {
      std::lock_guard fonts(workshop_.fontLock());
      faces = ListFaceCoverage(DictionaryCharacters(data_.dictionary()));
    }
    json list = json::array();
    for (const FaceCoverage& face : faces) {
      json others = json::array();
      for (const std::string& name : face.face.otherNames) others.push_back(GbkToUtf8Lossy(name));
      list.push_back(json{{"name", GbkToUtf8Lossy(face.face.name)}, {"others", others}, {"drawable", face.drawable}});
    }
    facesJson_ = json{{"total", data_.drawnCharacters().size()}, {"faces", list}}.dump();
  }
  HttpResponse response;
  response.contentType = "application/json; charset=utf-8";
  response.body = facesJson_;
  return response;
}

namespace {

// The face and style of a request's "face" and "style"; empty optional and
// a message when they do not do.
std::optional<StudioRequest> ReadFaceStyle(const json& body, const std::function<std::string(StyleSettings&)>& prepare,
                                           std::string& error) {
  StudioRequest requested;
  if (!body.contains("face") || (body["face"].is_string() && body["face"].get<std::string>().empty())) {
    error = Text(MessageId::kChooseFace);
    return std::nullopt;
  }
  if (!ReadString(body["face"], "face", requested.faceText, error)) return std::nullopt;
  const auto gbk = Utf8ToGbk(requested.faceText);
  if (!gbk || gbk->size() >= 256) {
    error = Text(MessageId::kFaceNameNotUsable);
    return std::nullopt;
  }
  requested.faceStyle.face = *gbk;
  const json noStyle = json::object();
  const json& style = body.contains("style") ? body["style"] : noStyle;
  std::optional<StyleSettings> settings;
  // Whatever the style's reader cannot take is the request's fault.
  try {
    settings = StyleFromJson(style, error);
  } catch (const std::exception&) {
    error = Text(MessageId::kStyleFieldMalformed);
    return std::nullopt;
  }
  if (!settings) return std::nullopt;
  error = prepare(*settings);
  if (!error.empty()) return std::nullopt;
  requested.settings = *settings;
  std::string problem;
  const auto buildStyle = BuildStyleOf(*settings, problem);
  if (!buildStyle) {
    error = Text(MessageId::kStyleUnusable, problem);
    return std::nullopt;
  }
  requested.faceStyle.style = *buildStyle;
  return requested;
}

// The fields every request that names a face and style may have, and more.
std::string UnknownFaceStyleField(const json& body, std::initializer_list<std::string_view> more) {
  for (const auto& item : body.items()) {
    const std::string& key = item.key();
    if (key == "face" || key == "style" || key == "allowSubstitute") continue;
    bool found = false;
    for (const std::string_view name : more) found = found || key == name;
    if (!found) return Text(MessageId::kUnknownField, key);
  }
  return "";
}

}  // namespace

bool StudioApi::MayUseFontFile(const std::string& path) const {
  const std::string key = PathKey(path);
  for (const std::string& given : settings_.fontFiles) {
    if (PathKey(given) == key) return true;
  }
  // Directly in the output folder (where the page's files are put).
  const std::string folder = PathKey(settings_.outputFolder) + "\\";
  if (key.size() <= folder.size() || key.compare(0, folder.size(), folder) != 0) return false;
  const std::string name = key.substr(folder.size());
  return name.find('\\') == std::string::npos && name != "." && name != "..";
}

std::string StudioApi::UseFontFile(const std::string& path, bool allowed) {
  std::lock_guard hold(fontFilesMutex_);
  if (fontFiles_.count(path)) return "";
  if (!allowed && !MayUseFontFile(path)) return Text(MessageId::kFontFileNotAllowed, SystemPathToUtf8(path));
  auto file = std::make_unique<PrivateFontFile>(path);
  if (file->fontsAdded() == 0) return Text(MessageId::kFontFileNoFont, SystemPathToUtf8(path));
  fontFiles_.emplace(path, std::move(file));
  // New faces: the list and the faces looked up so far are stale.
  exactFaces_.clear();
  workshop_.ForgetFaces();
  std::lock_guard faces(facesMutex_);
  facesJson_.clear();
  return "";
}

std::string StudioApi::UseFontFiles(const BuildStyle& style) {
  for (const std::string& path : style.fontFiles) {
    if (std::string problem = UseFontFile(path, false); !problem.empty()) return problem;
  }
  return "";
}

std::string StudioApi::UseStartFontFiles() {
  for (const std::string& path : settings_.fontFiles) {
    if (std::string problem = UseFontFile(path, true); !problem.empty()) return problem;
  }
  return "";
}

bool StudioApi::FaceExists(const std::string& face) {
  {
    std::lock_guard hold(fontFilesMutex_);
    if (const auto found = exactFaces_.find(face); found != exactFaces_.end()) return found->second;
  }
  bool exact = false;
  {
    std::lock_guard fonts(workshop_.fontLock());
    exact = CheckFace(face.c_str(), ops_).exact;
  }
  std::lock_guard hold(fontFilesMutex_);
  exactFaces_[face] = exact;
  return exact;
}

std::string StudioApi::PrepareGlyphs(StyleSettings& settings) const {
  for (const auto& [key, glyph] : settings.glyphs)
    if (std::string problem = CheckGlyphReached(data_, reached_, key); !problem.empty()) return problem;
  // Pictures are read from the studio's folder only, where the style file is saved.
  return PrepareGlyphImages(settings, SystemPathToUtf8(settings_.outputFolder));
}

std::optional<StudioRequest> StudioApi::ReadRequested(const json& body, std::string& error) {
  auto requested = ReadFaceStyle(
      body, [this](StyleSettings& settings) { return PrepareGlyphs(settings); }, error);
  if (!requested) return std::nullopt;
  bool allowSubstitute = false;
  if (body.contains("allowSubstitute") && !ReadBool(body["allowSubstitute"], "allowSubstitute", allowSubstitute, error))
    return std::nullopt;
  error = UseFontFiles(requested->faceStyle.style);
  if (!error.empty()) return std::nullopt;
  // As the command line: a face no font has is not drawn with another.
  if (!allowSubstitute && !FaceExists(requested->faceStyle.face)) {
    error = Text(MessageId::kNoFaceCalled, requested->faceText);
    return std::nullopt;
  }
  for (const GlyphOverride& glyph : requested->faceStyle.style.glyphs) {
    if (!glyph.face.empty() && !allowSubstitute && !FaceExists(glyph.face)) {
      error = Text(MessageId::kStudioGlyphNoFace, glyph.key, GbkToUtf8Lossy(glyph.face));
      return std::nullopt;
    }
  }
  return requested;
}

HttpResponse StudioApi::AddFontFile(const json& body) {
  std::string error = UnknownField(body, {"name", "data"});
  std::string name, data;
  if (error.empty() && ReadString(body.value("name", json()), "name", name, error))
    ReadString(body.value("data", json()), "data", data, error);
  if (!error.empty()) return Refuse(400, error);
  if (const std::string problem = CheckOutputName(name); !problem.empty()) return Refuse(400, problem);
  if (!HasExtension(name, ".ttf") && !HasExtension(name, ".otf") && !HasExtension(name, ".ttc") &&
      !HasExtension(name, ".otc"))
    return Refuse(400, Text(MessageId::kFontFileExtension));
  const auto systemName = Utf8ToSystemPath(name);
  if (!systemName) return Refuse(400, Text(MessageId::kNameUnusableHere));
  const auto bytes = DecodeBase64(data);
  if (!bytes) return Refuse(400, Text(MessageId::kNotBase64));
  if (bytes->size() > kMaxFontFile)
    return Refuse(413, Text(MessageId::kFontFileTooLarge, std::to_string(kMaxFontFile / 1024 / 1024)));
  if (bytes->empty()) return Refuse(400, Text(MessageId::kFileEmpty));

  const std::string path = settings_.outputFolder + "\\" + *systemName;
  if (const auto existing = ReadWholeFile(path.c_str())) {
    if (*existing != *bytes) return Refuse(409, Text(MessageId::kOtherFileSameName, name));
  } else {
    const AtomicWriteResult written = WriteBytesAtomically(path, *bytes, AtomicWriteMode::kNewFile);
    if (!written) return Refuse(500, Text(MessageId::kCannotWriteIntoFolder, name));
  }
  if (const std::string problem = UseFontFile(path, true); !problem.empty()) {
    DeleteFileA(path.c_str());
    return Refuse(400, Text(MessageId::kNoUsableFontIn, name));
  }
  return Json(json{{"path", SystemPathToUtf8(path)}});
}

HttpResponse StudioApi::Preview(const json& body) {
  const auto start = std::chrono::steady_clock::now();
  std::string error = UnknownFaceStyleField(body, {"texts", "width", "sizes", "withStock"});
  if (!error.empty()) return Refuse(400, error);
  // The request's own fields first: a style's font files are loaded only
  // for a request that is otherwise sound.
  const json& texts = body.contains("texts") ? body["texts"] : json();
  if (!IsArrayField(texts, "texts", 8, error)) return Refuse(400, error);
  for (const json& text : texts) {
    if (!text.is_string()) return Refuse(400, Text(MessageId::kTextsStringsOnly));
  }
  std::int64_t width = 20;
  if (body.contains("width") && !ReadInteger(body["width"], "width", 1, 200, width, error))
    return Refuse(400, Text(MessageId::kLineWidthRange, error));
  std::vector<std::size_t> sizeIndexes;
  if (body.contains("sizes")) {
    if (!IsArrayField(body["sizes"], "sizes", SizeModeTable.size(), error)) return Refuse(400, error);
    for (const json& s : body["sizes"]) {
      const auto index = SizeIndexFrom(s, "sizes", error);
      if (!index) return Refuse(400, error);
      sizeIndexes.push_back(*index);
    }
  } else {
    sizeIndexes = {0, 1, 2};
  }
  bool withStock = false;
  if (body.contains("withStock") && !ReadBool(body["withStock"], "withStock", withStock, error))
    return Refuse(400, error);
  const auto requested = ReadRequested(body, error);
  if (!requested) return Refuse(400, error);

  // Where each character goes and which cell shows it: the game's way, the
  // same for the stock file and the new font (one code table).
  json layouts = json::array();
  json unknown = json::array();  // each character without a cell once, in the order met
  std::u32string unknownSeen;
  std::vector<std::uint32_t> positions;
  for (const json& text : texts) {
    const auto decoded = DecodeUtf8(text.get<std::string>());
    if (!decoded) return Refuse(400, Text(MessageId::kTextNotUtf8));
    if (decoded->size() > kMaxPreviewText)
      return Refuse(400, Text(MessageId::kPreviewTextTooLong, std::to_string(kMaxPreviewText)));
    const TextLayout layout =
        LayOutText(*decoded, static_cast<std::uint32_t>(width), data_.codes(), data_.stockCells());
    json cells = json::array();
    for (const PlacedCharacter& c : layout.placed) {
      cells.push_back(json{c.row, c.column, c.position ? static_cast<long long>(*c.position) : -1});
      if (c.position) positions.push_back(*c.position);
    }
    for (const UnknownCharacter& u : layout.unknown) {
      if (unknownSeen.find(u.character) != std::u32string::npos) continue;
      unknownSeen += u.character;
      unknown.push_back(EncodeUtf8(u.character));
    }
    layouts.push_back(json{{"rows", layout.rows}, {"columns", layout.columns}, {"cells", cells}});
  }
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());

  json sizes = json::object();
  for (const std::size_t s : sizeIndexes) {
    const GlyphSizeInfo& size = SizeModeTable[s];
    LiveCells live(data_, workshop_, requested->faceStyle, s);
    if (!live.Draw(positions)) return Refuse(400, Text(MessageId::kCannotDrawFace, requested->faceText));
    json newCells = json::object();
    json stockCells = json::object();
    std::vector<std::uint8_t> levels(std::size_t{size.cellSize} * size.cellSize);
    for (const std::uint32_t p : positions) {
      const auto cell = live.Picture(p);
      live.Levels(size, p, levels);
      json item{{"l", LevelsHex(levels)}};
      if (!cell->redrawn) item["kept"] = true;
      if (cell->missing) item["missing"] = true;
      if (cell->face > 0) item["fallback"] = cell->face;
      if (cell->cutPixels) item["cut"] = cell->cutPixels;
      newCells[std::to_string(p)] = item;
      if (withStock) {
        data_.stockCells().Levels(size, p, levels);
        stockCells[std::to_string(p)] = LevelsHex(levels);
      }
    }
    json entry{{"new", newCells}};
    if (withStock) entry["stock"] = stockCells;
    sizes[std::to_string(size.cellSize)] = entry;
  }
  const auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return Json(json{{"layouts", layouts}, {"unknown", unknown}, {"sizes", sizes}, {"ms", elapsed}});
}

HttpResponse StudioApi::Cell(const json& body) {
  std::string error = UnknownFaceStyleField(body, {"size", "position"});
  if (!error.empty()) return Refuse(400, error);
  const auto index = SizeIndexFrom(body.value("size", json()), "size", error);
  if (!index) return Refuse(400, error);
  std::int64_t p = 0;
  if (!ReadInteger(body.value("position", json()), "position", 0, kIndexedGlyphCount - 1, p, error))
    return Refuse(400, Text(MessageId::kNoSuchCellPosition, error));
  const auto position = static_cast<std::uint32_t>(p);
  const auto requested = ReadRequested(body, error);
  if (!requested) return Refuse(400, error);
  bool ok = false;
  const auto cells = workshop_.Cells(requested->faceStyle, *index, {position}, ok);
  if (!ok) return Refuse(400, Text(MessageId::kCannotDrawFace, requested->faceText));
  const CellPicture& cell = cells.front();
  const GlyphSizeInfo& size = SizeModeTable[*index];
  std::vector<std::uint8_t> stock(std::size_t{size.cellSize} * size.cellSize);
  data_.stockCells().Levels(size, position, stock);
  const std::uint16_t code = data_.CodeAt(position);
  const auto character = data_.CharacterOfCode(code);
  json out{{"size", SizeModeTable[*index].cellSize},
           {"position", position},
           {"code", Hex4(code)},
           {"character", character ? CharacterText(*character) : ""},
           {"new", LevelsHex(cell.levels)},
           {"stock", LevelsHex(stock)},
           {"kept", !cell.redrawn},
           {"missing", cell.missing},
           {"cut", cell.cutPixels}};
  if (cell.face > 0) out["fallback"] = GbkToUtf8Lossy(requested->faceStyle.style.fallbackFaces[cell.face - 1]);
  return Json(out);
}

HttpResponse StudioApi::Findings(const json& body) {
  std::string error = UnknownFaceStyleField(body, {});
  if (!error.empty()) return Refuse(400, error);
  const auto requested = ReadRequested(body, error);
  if (!requested) return Refuse(400, error);
  bool ok = false;
  const auto findings = workshop_.Findings(requested->faceStyle, ok);
  if (!ok) return Refuse(400, Text(MessageId::kCannotDrawFace, requested->faceText));
  auto describe = [this](std::uint32_t position) {
    const std::uint16_t code = data_.CodeAt(position);
    const auto character = data_.CharacterOfCode(code);
    return json{{"p", position}, {"code", Hex4(code)}, {"t", character ? CharacterText(*character) : ""}};
  };
  json sizes = json::object();
  for (std::size_t s = 0; s < findings.size(); ++s) {
    const SizeFindings& f = findings[s];
    json missing = json::array(), fallback = json::array(), cut = json::array();
    for (const std::uint32_t p : f.missing) missing.push_back(describe(p));
    for (std::size_t k = 0; k < f.fromFallback.size(); ++k) {
      json item = describe(f.fromFallback[k]);
      item["face"] = GbkToUtf8Lossy(requested->faceStyle.style.fallbackFaces[f.fallbackOfPosition[k] - 1]);
      fallback.push_back(item);
    }
    for (const auto& [p, pixels] : f.cut) {
      json item = describe(p);
      item["px"] = pixels;
      cut.push_back(item);
    }
    sizes[std::to_string(SizeModeTable[s].cellSize)] =
        json{{"redrawn", f.redrawn}, {"missing", missing}, {"fallback", fallback}, {"cut", cut}};
  }
  return Json(json{{"sizes", sizes}});
}

HttpResponse StudioApi::Fit(const json& body) {
  std::string error = UnknownFaceStyleField(body, {"ahead"});
  if (!error.empty()) return Refuse(400, error);
  bool ahead = false;
  if (body.contains("ahead") && !ReadBool(body["ahead"], "ahead", ahead, error)) return Refuse(400, error);
  const auto requested = ReadRequested(body, error);
  if (!requested) return Refuse(400, error);
  // Asked by the page while the player looks: measured now, so that the
  // button's fit later takes milliseconds. `ready` false: it gave way to a
  // request of the player's and is asked again when the page is idle.
  if (ahead) return Json(json{{"ready", workshop_.FitAhead(requested->faceStyle)}});
  const auto fits = workshop_.Fit(requested->faceStyle);
  json sizes = json::object();
  for (std::size_t s = 0; s < fits.size(); ++s) {
    sizes[std::to_string(SizeModeTable[s].cellSize)] = json{{"glyphSize", fits[s].emHeight},
                                                            {"alignX", fits[s].alignX},
                                                            {"alignY", fits[s].alignY},
                                                            {"cut", fits[s].cutCharacters}};
  }
  return Json(json{{"sizes", sizes}});
}

std::optional<StudioApi::NamedRequest> StudioApi::ReadNamedRequest(const json& body, const std::string& extension,
                                                                   MessageId wrongExtension, std::string& error) {
  error = UnknownFaceStyleField(body, {"name"});
  NamedRequest named;
  if (error.empty()) ReadString(body.value("name", json("")), "name", named.name, error);
  if (!error.empty()) return std::nullopt;
  auto requested = ReadRequested(body, error);
  if (!requested) return std::nullopt;
  if (error = CheckOutputName(named.name); !error.empty()) return std::nullopt;
  if (!HasExtension(named.name, extension)) {
    error = Text(wrongExtension);
    return std::nullopt;
  }
  const auto systemName = Utf8ToSystemPath(named.name);
  if (!systemName) {
    error = Text(MessageId::kNameUnusableHere);
    return std::nullopt;
  }
  named.request = std::move(*requested);
  named.systemName = *systemName;
  return named;
}

HttpResponse StudioApi::StartBuild(const json& body) {
  std::string error;
  const auto named = ReadNamedRequest(body, ".qzf", MessageId::kFontNameExtension, error);
  if (!named) return Refuse(400, error);
  const StudioRequest& requested = named->request;
  const std::string& name = named->name;
  // A code whose cell the dictionary keeps has no character to draw: the
  // build takes it only with a picture for every size (the preview shows
  // one size drawn meanwhile).
  for (const GlyphOverride& glyph : requested.faceStyle.style.glyphs) {
    const bool drawn = std::any_of(glyph.images.begin(), glyph.images.end(), [](const auto& i) { return i.empty(); });
    if (glyph.code && drawn && !data_.CharacterOfCode(*glyph.code))
      return Refuse(400, Text(MessageId::kStudioKeptCodeNeedsAllSizes, glyph.key));
  }

  FontBuildRequest build;
  build.faceName = requested.faceStyle.face;
  build.outputPath = settings_.outputFolder + "\\" + named->systemName;
  build.basePath = data_.basePath();
  build.dictionaryPath = data_.dictionaryPath();
  build.style = requested.faceStyle.style;
  build.language = MessageLanguage::kChinese;
  if (!build_.Start(std::move(build), name, workshop_.fontLock())) return Refuse(409, Text(MessageId::kBuildBusy));
  return Json(json{{"started", true}});
}

HttpResponse StudioApi::BuildStatus(const HttpRequest&) {
  const BuildJobStatus status = build_.Status();
  json out{{"running", status.running},
           {"finished", status.finished},
           {"progress", status.progress},
           {"phase", status.phase}};
  if (status.finished) {
    out["ok"] = status.ok;
    out["message"] = status.message;
    out["name"] = status.outputName;
    json sizes = json::object();
    for (std::size_t s = 0; s < status.result.passes.size(); ++s) {
      const PatchPassResult& r = status.result.passes[s].result;
      std::uint32_t fromFallback = 0;
      for (std::size_t f = 1; f < r.drawnByFace.size(); ++f) fromFallback += r.drawnByFace[f];
      sizes[std::to_string(SizeModeTable[s].cellSize)] = json{
          {"rewritten", r.cellsRewritten}, {"kept", r.cellsKept},    {"missing", r.missingGlyphs},
          {"fallback", fromFallback},      {"cut", r.cutInk.size()}, {"glyphSize", status.result.fits[s].emHeight}};
    }
    out["sizes"] = sizes;
    out["face"] = GbkToUtf8Lossy(status.result.faceUsed);
  }
  return Json(out);
}

HttpResponse StudioApi::SaveStyle(const json& body) {
  std::string error;
  const auto named = ReadNamedRequest(body, ".toml", MessageId::kStyleNameExtension, error);
  if (!named) return Refuse(400, error);
  const StudioRequest& requested = named->request;
  const std::string& name = named->name;
  StyleSettings settings = requested.settings;
  SetFace(settings, requested.faceText);
  const std::string text = FormatStyleText(settings);
  const AtomicWriteResult written = WriteBytesAtomically(settings_.outputFolder + "\\" + named->systemName, text);
  if (!written) return Refuse(500, Text(MessageId::kCannotWriteCheckFolder, name));
  return Json(json{{"saved", name}});
}

HttpResponse StudioApi::LoadStyle(const json& body) {
  std::string error = UnknownField(body, {"text"});
  std::string text;
  if (error.empty()) ReadString(body.value("text", json()), "text", text, error);
  if (!error.empty()) return Refuse(400, error);
  StyleFileError problem;
  const auto settings = ParseStyleText(text, problem);
  if (!settings) {
    const std::string message =
        problem.value ? ValueErrorText(*problem.value, MessageLanguage::kChinese) : Text(MessageId::kNotToml);
    return Refuse(400, Text(MessageId::kStyleFileWrong,
                            problem.line > 0 ? Text(MessageId::kAtLine, std::to_string(problem.line)) : "", message));
  }
  return Json(json{{"style", StyleToJson(*settings)}});
}

}  // namespace qzf::studio

namespace qzf::studio {

HttpResponse StudioApi::GlyphImage(const json& body) {
  std::string error = UnknownField(body, {"glyph", "size", "levels", "png"});
  std::string key;
  if (error.empty()) ReadString(body.value("glyph", json()), "glyph", key, error);
  if (!error.empty()) return Refuse(400, error);
  const auto index = SizeIndexFrom(body.value("size", json()), "size", error);
  if (!index) return Refuse(400, error);
  if (const std::string problem = CheckGlyphReached(data_, reached_, key); !problem.empty())
    return Refuse(400, problem);
  const GlyphSizeInfo& size = SizeModeTable[*index];
  if (body.contains("levels") == body.contains("png")) return Refuse(400, Text(MessageId::kLevelsOrPng));
  std::vector<std::uint8_t> levels;
  if (body.contains("levels")) {
    std::string hex;
    if (!ReadString(body["levels"], "levels", hex, error)) return Refuse(400, error);
    auto read = LevelsFromHex(hex, size, error);
    if (!read) return Refuse(400, error);
    levels = std::move(*read);
  } else {
    std::string data;
    if (!ReadString(body["png"], "png", data, error)) return Refuse(400, error);
    const auto bytes = DecodeBase64(data);
    if (!bytes) return Refuse(400, Text(MessageId::kPictureNotBase64));
    CellImageResult image = CellImageLevels(*bytes, size);
    if (!image) return Refuse(400, Text(MessageId::kPictureUnusable, std::to_string(size.cellSize), image.error));
    levels = std::move(image.levels);
  }
  // Stored as the 16 greys, whatever the picture sent: it reads back as these levels.
  const std::string name = GlyphImageName(key, static_cast<int>(size.cellSize));
  std::string path = settings_.outputFolder + "\\" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  EnsureDirectoryPath(path.c_str());
  const std::vector<unsigned char> png = LevelsPng(levels, size);
  if (png.empty() || !StoreGlyphImage(path, png)) return Refuse(500, Text(MessageId::kCannotWriteCheckFolder, name));
  json out{{"image", name}, {"levels", LevelsHex(levels)}};
  return Json(out);
}

}  // namespace qzf::studio
