// The studio's routes: the page's files and the JSON API the page calls.
//   GET  /                  the page (the token written into it)
//   GET  /studio.css, /studio.js
//   GET  /api/state         folder, default names, the preview lines, limits
//   GET  /api/faces         installed faces, with how many characters each draws
//   POST /api/preview       cells of the preview texts at each size, new and stock
//   POST /api/cell          one cell's 16 levels, new and stock
//   POST /api/findings      what a build would find: missing, fallback, cut ink
//   POST /api/fit           the em heights and offsets a fit chooses
//   POST /api/build         starts the whole build; GET /api/build: its progress
//   POST /api/style/save    writes the style as a TOML style file
//   POST /api/style/load    reads a style file's text
//   POST /api/font-file     a font file to use (copied into the folder)
//   POST /api/glyph/image   a character's cell drawn by hand, stored as a
//                           picture under glyphs/ in the folder
//   POST /api/heartbeat     the page is still open
//   POST /api/quit          ends the studio
// Every request passes the request guard on its head, before its body is
// read. Fonts a style may name are those sent by the page, those in the
// output folder and those given at start; a face no font has is refused
// unless the request allows a substitute.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "fontbuild/style_settings.h"
#include "i18n/message_catalog.h"
#include "platform/portable/private_font_file.h"
#include "studio/build_job.h"
#include "studio/glyph_workshop.h"
#include "studio/http_message.h"
#include "studio/loopback_server.h"
#include "studio/studio_data.h"

namespace qzf::studio {

inline constexpr std::size_t kMaxJsonBody = 256 * 1024;
inline constexpr std::size_t kMaxSmallBody = 1024;             // heartbeat, quit
inline constexpr std::size_t kMaxFontFile = 50 * 1024 * 1024;  // bytes of one font file
// Its request: the file in base64 with a little JSON around it.
inline constexpr std::size_t kMaxFontFileBody = kMaxFontFile / 3 * 4 + 64 * 1024;
inline constexpr std::size_t kMaxPreviewText = 400;  // characters per text

// The face and style of a request.
struct StudioRequest {
  FaceStyle faceStyle;
  StyleSettings settings;
  std::string faceText;  // UTF-8
};

struct StudioSettings {
  std::string token;
  std::uint16_t port = 0;
  std::string outputFolder;  // system byte path, ends without a separator
  std::string version;
  // Font files given at start (system byte paths) that a style may name too.
  std::vector<std::string> fontFiles;
};

class StudioApi {
 public:
  StudioApi(const StudioData& data, StudioSettings settings, const GlyphRenderOps* ops = nullptr);

  // Judges a request's head: the guard, the route, the body's limit.
  HeadDecision CheckHead(const HttpRequest& head) const;
  HttpResponse Handle(const HttpRequest& request);

  // Set by the server's owner: ends the studio.
  std::function<void()> onQuit;
  // When the page was last heard from.
  std::chrono::steady_clock::time_point lastContact() const;
  void WaitForBuild() { build_.Wait(); }
  void SetPort(std::uint16_t port) { settings_.port = port; }
  // Makes the font files given at start usable; the message when one gives
  // no font.
  std::string UseStartFontFiles();

 private:
  // One row per route: path, method, body limit and handler. A route with a
  // JSON body has `json`, which gets the parsed body; the others, `plain`.
  struct Route {
    const char* method;
    const char* path;
    std::size_t maxBody;
    HttpResponse (StudioApi::*plain)(const HttpRequest&);
    HttpResponse (StudioApi::*json)(const nlohmann::json&);
  };
  static const Route* FindRoute(const std::string& method, const std::string& path, bool& pathKnown);

  HttpResponse Dispatch(const HttpRequest& request);
  HttpResponse IndexPage(const HttpRequest& request);
  HttpResponse StaticFile(const HttpRequest& request);
  HttpResponse State(const HttpRequest& request);
  HttpResponse Faces(const HttpRequest& request);
  HttpResponse BuildStatus(const HttpRequest& request);
  HttpResponse Preview(const nlohmann::json& body);
  HttpResponse Cell(const nlohmann::json& body);
  HttpResponse Findings(const nlohmann::json& body);
  HttpResponse Fit(const nlohmann::json& body);
  HttpResponse StartBuild(const nlohmann::json& body);
  HttpResponse SaveStyle(const nlohmann::json& body);
  HttpResponse LoadStyle(const nlohmann::json& body);
  HttpResponse AddFontFile(const nlohmann::json& body);
  HttpResponse GlyphImage(const nlohmann::json& body);
  // The single characters' tables of a style checked: each reaches a cell,
  // its pictures are read from the studio's folder; the message to refuse
  // with, else empty.
  std::string PrepareGlyphs(StyleSettings& settings) const;
  HttpResponse Heartbeat(const nlohmann::json& body);
  HttpResponse Quit(const nlohmann::json& body);
  // Makes the style's font files usable in this process (each once); the
  // message to refuse with when one is not in an allowed place or gives no
  // font.
  std::string UseFontFiles(const BuildStyle& style);
  // Makes one font file usable; `allowed`: it needs no check of its place.
  std::string UseFontFile(const std::string& path, bool allowed);
  bool MayUseFontFile(const std::string& path) const;
  // The face and style a request names ("face", "style",
  // "allowSubstitute"), its font files made usable; nullopt and the message
  // to refuse with when they do not do.
  std::optional<StudioRequest> ReadRequested(const nlohmann::json& body, std::string& error);
  // A request to write a file into the output folder: its face and style,
  // and "name", a file name ending in `extension` (the system's form too).
  struct NamedRequest {
    StudioRequest request;
    std::string name;
    std::string systemName;
  };
  std::optional<NamedRequest> ReadNamedRequest(const nlohmann::json& body, const std::string& extension,
                                               MessageId wrongExtension, std::string& error);
  // Whether a font has the face's name exactly (GBK).
  bool FaceExists(const std::string& face);
  HttpResponse Page(const std::string& name);

  const StudioData& data_;
  StudioSettings settings_;
  const GlyphRenderOps* ops_;
  GlyphWorkshop workshop_;
  const std::vector<bool> reached_;  // GBK characters a code's cell is drawn from
  BuildJob build_;
  std::mutex facesMutex_;
  std::string facesJson_;                   // computed once
  std::map<std::string, bool> exactFaces_;  // GBK name: installed under that name (under fontFilesMutex_)
  std::atomic<std::int64_t> lastContact_;
  std::mutex fontFilesMutex_;
  std::map<std::string, std::unique_ptr<PrivateFontFile>> fontFiles_;  // by system path
};

}  // namespace qzf::studio
