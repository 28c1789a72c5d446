#include "studio/studio_api.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>

#include "fileutil/atomic_file_write.h"
#include "fileutil/file_range.h"
#include "fontbuild/build_style_of.h"
#include "fontbuild/face_coverage.h"
#include "fontbuild/font_build.h"
#include "fontbuild/style_file.h"
#include "fontpatch/font_file_report.h"
#include "fontpatch/font_format.h"
#include "platform/portable/codepage.h"
#include "platform/portable/system_path.h"
#include "platform/win32.h"
#include "preview/preview_lines.h"
#include "preview/text_layout.h"
#include "preview/utf8_text.h"
#include "studio/base64.h"
#include "studio/live_cells.h"
#include "studio/output_name.h"
#include "studio/page_files.h"
#include "studio/request_guard.h"
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

std::optional<json> ParseBody(const HttpRequest& request) {
  json body = json::parse(request.body, nullptr, false);
  if (body.is_discarded() || !body.is_object()) return std::nullopt;
  return body;
}

std::optional<std::size_t> SizeIndexFrom(const json& value) {
  if (!value.is_number_integer()) return std::nullopt;
  return SizeIndexOf(value.get<int>());
}

}  // namespace

StudioApi::StudioApi(const StudioData& data, StudioSettings settings, const GlyphRenderOps* ops)
    : data_(data), settings_(std::move(settings)), workshop_(data, ops), lastContact_(NowTicks()) {}

std::chrono::steady_clock::time_point StudioApi::lastContact() const {
  return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(lastContact_.load()));
}

std::size_t StudioApi::MaxBodyBytes(const HttpRequest& head) const {
  if (head.method != "POST" || head.path.rfind("/api/", 0) != 0) return 0;
  return head.path == "/api/font-file" ? kMaxFontFileBody : kMaxJsonBody;
}

HttpResponse StudioApi::Handle(const HttpRequest& request) {
  HttpResponse response = Route(request);
  // The page's token must not leave with a link, and no other site may frame it.
  response.headers.emplace_back("Referrer-Policy", "no-referrer");
  response.headers.emplace_back("X-Frame-Options", "DENY");
  return response;
}

HttpResponse StudioApi::Route(const HttpRequest& request) {
  const std::string& path = request.path;
  const bool post = path.rfind("/api/", 0) == 0 && path != "/api/state" && path != "/api/faces" &&
                    !(path == "/api/build" && request.method == "GET");
  const GuardVerdict verdict = CheckRequest(request, settings_.token, settings_.port, post);
  if (verdict.status != 0) return Refuse(verdict.status, verdict.message);
  lastContact_.store(NowTicks());

  if (!post && request.method != "GET" && request.method != "HEAD") return Refuse(405, "use GET");
  if (path == "/" || path == "/index.html") return Page("index.html");
  if (path == "/studio.css" || path == "/studio.js") return Page(path.substr(1));
  if (path == "/api/state") return State();
  if (path == "/api/faces") return Faces();
  if (path == "/api/build" && !post) return BuildStatus();
  if (path == "/api/preview") return Preview(request);
  if (path == "/api/cell") return Cell(request);
  if (path == "/api/findings") return Findings(request);
  if (path == "/api/fit") return Fit(request);
  if (path == "/api/build") return StartBuild(request);
  if (path == "/api/style/save") return SaveStyle(request);
  if (path == "/api/style/load") return LoadStyle(request);
  if (path == "/api/font-file") return AddFontFile(request);
  if (path == "/api/heartbeat") return Json(json{{"ok", true}});
  if (path == "/api/quit") {
    if (onQuit) onQuit();
    return Json(json{{"ok", true}});
  }
  return Refuse(404, "no such page");
}

HttpResponse StudioApi::Page(const std::string& name) {
  const auto file = FindPageFile(name);
  if (!file) return Refuse(404, "no such page");
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

HttpResponse StudioApi::State() {
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
                   {"limits",
                    {{"glyphSize", {kMinGlyphSize, kMaxGlyphSize}},
                     {"weight", {kMinWeight, kMaxWeight}},
                     {"gamma", {kMinGamma, kMaxGamma}},
                     {"previewText", kMaxPreviewText}}}});
}

HttpResponse StudioApi::Faces() {
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
std::optional<StudioRequest> ReadFaceStyle(const json& body, std::string& error) {
  StudioRequest requested;
  const json style = body.contains("style") ? body["style"] : json::object();
  const auto settings = StyleFromJson(style, error);
  if (!settings) return std::nullopt;
  requested.settings = *settings;
  if (!body.contains("face") || !body["face"].is_string() || body["face"].get<std::string>().empty()) {
    error = "请先选择字体";
    return std::nullopt;
  }
  requested.faceText = body["face"].get<std::string>();
  const auto gbk = Utf8ToGbk(requested.faceText);
  if (!gbk || gbk->size() >= 256) {
    error = "字体名不能用";
    return std::nullopt;
  }
  requested.faceStyle.face = *gbk;
  std::string problem;
  const auto buildStyle = BuildStyleOf(*settings, problem);
  if (!buildStyle) {
    error = "样式不能用：" + problem;
    return std::nullopt;
  }
  requested.faceStyle.style = *buildStyle;
  return requested;
}

}  // namespace

std::string StudioApi::UseFontFiles(const BuildStyle& style) {
  std::lock_guard hold(fontFilesMutex_);
  bool added = false;
  for (const std::string& path : style.fontFiles) {
    if (fontFiles_.count(path)) continue;
    auto file = std::make_unique<PrivateFontFile>(path);
    if (file->fontsAdded() == 0) return "字体文件“" + SystemPathToUtf8(path) + "”里没有可用的字体";
    fontFiles_.emplace(path, std::move(file));
    added = true;
  }
  if (added) {
    // New faces: the list and the faces looked up so far are stale.
    workshop_.ForgetFaces();
    std::lock_guard faces(facesMutex_);
    facesJson_.clear();
  }
  return "";
}

std::optional<StudioRequest> StudioApi::ReadRequested(const json& body, std::string& error) {
  auto requested = ReadFaceStyle(body, error);
  if (!requested) return std::nullopt;
  error = UseFontFiles(requested->faceStyle.style);
  if (!error.empty()) return std::nullopt;
  return requested;
}

HttpResponse StudioApi::AddFontFile(const HttpRequest& request) {
  const auto body = ParseBody(request);
  if (!body || !body->contains("data") || !(*body)["data"].is_string()) return Refuse(400, "请求格式不对");
  const std::string name = body->value("name", "");
  if (const std::string problem = CheckOutputName(name); !problem.empty()) return Refuse(400, problem);
  if (!HasExtension(name, ".ttf") && !HasExtension(name, ".otf") && !HasExtension(name, ".ttc") &&
      !HasExtension(name, ".otc"))
    return Refuse(400, "字体文件要以 .ttf、.otf、.ttc 或 .otc 结尾");
  const auto systemName = Utf8ToSystemPath(name);
  if (!systemName) return Refuse(400, "这个文件名在本系统上不能用");
  const auto bytes = DecodeBase64((*body)["data"].get<std::string>());
  if (!bytes) return Refuse(400, "文件内容不对（不是 base64）");
  if (bytes->size() > kMaxFontFile)
    return Refuse(413, "字体文件不能超过 " + std::to_string(kMaxFontFile / 1024 / 1024) + " MB");
  if (bytes->empty()) return Refuse(400, "文件是空的");

  const std::string path = settings_.outputFolder + "\\" + *systemName;
  if (const auto existing = ReadWholeFile(path.c_str())) {
    if (*existing != *bytes) return Refuse(409, "文件夹里已经有一个不同的 " + name + "，请先改名");
  } else {
    const AtomicWriteResult written = WriteBytesAtomically(path, *bytes, AtomicWriteMode::kNewFile);
    if (!written) return Refuse(500, "无法把 " + name + " 写入文件夹");
  }
  BuildStyle style;
  style.fontFiles = {path};
  if (const std::string problem = UseFontFiles(style); !problem.empty()) {
    DeleteFileA(path.c_str());
    return Refuse(400, "“" + name + "”里没有可用的字体");
  }
  return Json(json{{"path", SystemPathToUtf8(path)}});
}

HttpResponse StudioApi::Preview(const HttpRequest& request) {
  const auto start = std::chrono::steady_clock::now();
  const auto body = ParseBody(request);
  if (!body) return Refuse(400, "请求格式不对");
  std::string error;
  const auto requested = ReadRequested(*body, error);
  if (!requested) return Refuse(400, error);
  if (!body->contains("texts") || !(*body)["texts"].is_array() || (*body)["texts"].size() > 8)
    return Refuse(400, "请求格式不对");
  const json& widthValue = body->contains("width") ? (*body)["width"] : json(20);
  if (!widthValue.is_number_integer() || widthValue.get<long long>() < 1 || widthValue.get<long long>() > 200)
    return Refuse(400, "每行的字数必须是 1 到 200");
  const auto width = widthValue.get<std::uint32_t>();

  // Where each character goes and which cell shows it: the game's way, the
  // same for the stock file and the new font (one code table).
  json layouts = json::array();
  std::vector<std::uint32_t> positions;
  for (const json& text : (*body)["texts"]) {
    if (!text.is_string()) return Refuse(400, "请求格式不对");
    const auto decoded = DecodeUtf8(text.get<std::string>());
    if (!decoded) return Refuse(400, "文字不是 UTF-8");
    if (decoded->size() > kMaxPreviewText)
      return Refuse(400, "预览文字太长（最多 " + std::to_string(kMaxPreviewText) + " 个字）");
    const TextLayout layout = LayOutText(*decoded, width, data_.codes(), data_.stockCells());
    json cells = json::array();
    for (const PlacedCharacter& c : layout.placed) {
      cells.push_back(json{c.row, c.column, c.position ? static_cast<long long>(*c.position) : -1});
      if (c.position) positions.push_back(*c.position);
    }
    layouts.push_back(json{{"rows", layout.rows}, {"columns", layout.columns}, {"cells", cells}});
  }
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());

  std::vector<std::size_t> sizeIndexes;
  if (body->contains("sizes") && (*body)["sizes"].is_array()) {
    for (const json& s : (*body)["sizes"]) {
      const auto index = SizeIndexFrom(s);
      if (!index) return Refuse(400, "字号只有 20、24、64 三种");
      sizeIndexes.push_back(*index);
    }
  } else {
    sizeIndexes = {0, 1, 2};
  }
  const bool withStock = body->value("withStock", false);

  json sizes = json::object();
  for (const std::size_t s : sizeIndexes) {
    const GlyphSizeInfo& size = SizeModeTable[s];
    LiveCells live(data_, workshop_, requested->faceStyle, s);
    if (!live.Draw(positions)) return Refuse(400, "无法用字体“" + requested->faceText + "”绘制");
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
  return Json(json{{"layouts", layouts}, {"sizes", sizes}, {"ms", elapsed}});
}

HttpResponse StudioApi::Cell(const HttpRequest& request) {
  const auto body = ParseBody(request);
  if (!body) return Refuse(400, "请求格式不对");
  std::string error;
  const auto requested = ReadRequested(*body, error);
  if (!requested) return Refuse(400, error);
  const auto index = body->contains("size") ? SizeIndexFrom((*body)["size"]) : std::nullopt;
  if (!index) return Refuse(400, "字号只有 20、24、64 三种");
  const json& p = body->contains("position") ? (*body)["position"] : json();
  if (!p.is_number_integer() || p.get<long long>() < 0 || p.get<long long>() >= kIndexedGlyphCount)
    return Refuse(400, "没有这个字模位置");
  const auto position = p.get<std::uint32_t>();
  bool ok = false;
  const auto cells = workshop_.Cells(requested->faceStyle, *index, {position}, ok);
  if (!ok) return Refuse(400, "无法用字体“" + requested->faceText + "”绘制");
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

HttpResponse StudioApi::Findings(const HttpRequest& request) {
  const auto body = ParseBody(request);
  if (!body) return Refuse(400, "请求格式不对");
  std::string error;
  const auto requested = ReadRequested(*body, error);
  if (!requested) return Refuse(400, error);
  bool ok = false;
  const auto findings = workshop_.Findings(requested->faceStyle, ok);
  if (!ok) return Refuse(400, "无法用字体“" + requested->faceText + "”绘制");
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

HttpResponse StudioApi::Fit(const HttpRequest& request) {
  const auto body = ParseBody(request);
  if (!body) return Refuse(400, "请求格式不对");
  std::string error;
  const auto requested = ReadRequested(*body, error);
  if (!requested) return Refuse(400, error);
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

HttpResponse StudioApi::StartBuild(const HttpRequest& request) {
  const auto body = ParseBody(request);
  if (!body) return Refuse(400, "请求格式不对");
  std::string error;
  const auto requested = ReadRequested(*body, error);
  if (!requested) return Refuse(400, error);
  const std::string name = body->value("name", "");
  if (const std::string problem = CheckOutputName(name); !problem.empty()) return Refuse(400, problem);
  if (!HasExtension(name, ".qzf")) return Refuse(400, "字体文件名要以 .qzf 结尾");
  const auto systemName = Utf8ToSystemPath(name);
  if (!systemName) return Refuse(400, "这个文件名在本系统上不能用");

  FontBuildRequest build;
  build.faceName = requested->faceStyle.face;
  build.outputPath = settings_.outputFolder + "\\" + *systemName;
  build.basePath = data_.basePath();
  build.dictionaryPath = data_.dictionaryPath();
  build.style = requested->faceStyle.style;
  if (!build_.Start(std::move(build), name, workshop_.fontLock())) return Refuse(409, "正在生成，请稍候");
  return Json(json{{"started", true}});
}

HttpResponse StudioApi::BuildStatus() {
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

HttpResponse StudioApi::SaveStyle(const HttpRequest& request) {
  const auto body = ParseBody(request);
  if (!body) return Refuse(400, "请求格式不对");
  std::string error;
  const auto requested = ReadRequested(*body, error);
  if (!requested) return Refuse(400, error);
  const std::string name = body->value("name", "");
  if (const std::string problem = CheckOutputName(name); !problem.empty()) return Refuse(400, problem);
  if (!HasExtension(name, ".toml")) return Refuse(400, "样式文件名要以 .toml 结尾");
  const auto systemName = Utf8ToSystemPath(name);
  if (!systemName) return Refuse(400, "这个文件名在本系统上不能用");
  StyleSettings settings = requested->settings;
  settings.face = requested->faceText;
  const std::string text = FormatStyleText(settings);
  const AtomicWriteResult written = WriteBytesAtomically(settings_.outputFolder + "\\" + *systemName, text);
  if (!written) return Refuse(500, "无法写入 " + name + "（文件夹是否可写？）");
  return Json(json{{"saved", name}});
}

HttpResponse StudioApi::LoadStyle(const HttpRequest& request) {
  const auto body = ParseBody(request);
  if (!body || !body->contains("text") || !(*body)["text"].is_string()) return Refuse(400, "请求格式不对");
  StyleFileError problem;
  const auto settings = ParseStyleText((*body)["text"].get<std::string>(), problem);
  if (!settings) {
    return Refuse(400, "样式文件有误" + (problem.line > 0 ? "（第 " + std::to_string(problem.line) + " 行）" : "") +
                           "：" + problem.message);
  }
  return Json(json{{"style", StyleToJson(*settings)}});
}

}  // namespace qzf::studio
