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
//   POST /api/heartbeat     the page is still open
//   POST /api/quit          ends the studio
// Every request passes the request guard first.
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

#include <nlohmann/json.hpp>

#include "fontbuild/style_settings.h"
#include "platform/portable/private_font_file.h"
#include "studio/build_job.h"
#include "studio/glyph_workshop.h"
#include "studio/http_message.h"
#include "studio/studio_data.h"

namespace qzf::studio {

inline constexpr std::size_t kMaxJsonBody = 256 * 1024;
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
};

class StudioApi {
 public:
  StudioApi(const StudioData& data, StudioSettings settings, const GlyphRenderOps* ops = nullptr);

  HttpResponse Handle(const HttpRequest& request);
  std::size_t MaxBodyBytes(const HttpRequest& head) const;

  // Set by the server's owner: ends the studio.
  std::function<void()> onQuit;
  // When the page was last heard from.
  std::chrono::steady_clock::time_point lastContact() const;
  void WaitForBuild() { build_.Wait(); }
  void SetPort(std::uint16_t port) { settings_.port = port; }

 private:
  HttpResponse Route(const HttpRequest& request);
  HttpResponse Faces();
  HttpResponse Preview(const HttpRequest& request);
  HttpResponse Cell(const HttpRequest& request);
  HttpResponse Findings(const HttpRequest& request);
  HttpResponse Fit(const HttpRequest& request);
  HttpResponse StartBuild(const HttpRequest& request);
  HttpResponse BuildStatus();
  HttpResponse SaveStyle(const HttpRequest& request);
  HttpResponse LoadStyle(const HttpRequest& request);
  HttpResponse State();
  HttpResponse AddFontFile(const HttpRequest& request);
  // Makes the style's font files usable in this process (each once); the
  // message to refuse with when one gives no font.
  std::string UseFontFiles(const BuildStyle& style);
  // The face and style a request names ("face", "style"), its font files
  // made usable; nullopt and the message to refuse with when they do not do.
  std::optional<StudioRequest> ReadRequested(const nlohmann::json& body, std::string& error);
  HttpResponse Page(const std::string& name);

  const StudioData& data_;
  StudioSettings settings_;
  GlyphWorkshop workshop_;
  BuildJob build_;
  std::mutex facesMutex_;
  std::string facesJson_;                   // computed once
  std::map<std::string, bool> exactFaces_;  // GBK name: installed under that name
  std::atomic<std::int64_t> lastContact_;
  std::mutex fontFilesMutex_;
  std::map<std::string, std::unique_ptr<PrivateFontFile>> fontFiles_;  // by system path
};

}  // namespace qzf::studio
