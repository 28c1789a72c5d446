// Raw request bytes through the studio's HTTP parser, head checks, route
// table and handlers, as a connection's bytes would go. Whatever the bytes,
// the answer is a well-formed HTTP/1.1 response (or none, for bytes that end
// before a whole request) and never an internal error. Starting a build is
// answered without building (a build takes seconds); its fields are checked
// by the same readers as the other routes'.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "studio/loopback_server.h"
#include "studio/studio_api.h"
#include "studio/studio_data.h"

namespace {

using namespace qzf::studio;

constexpr std::uint16_t kPort = 40123;

struct Studio {
  std::optional<StudioData> data;
  std::unique_ptr<StudioApi> api;
};

Studio& TheStudio() {
  static Studio studio = [] {
    Studio s;
    std::string error;
    s.data = StudioData::Load("", "", error);
    if (!s.data) {
      std::fprintf(stderr, "no studio data: %s\n", error.c_str());
      std::abort();
    }
    char folder[] = "/dev/shm/qzf-fuzz-studio-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    StudioSettings settings;
    settings.token = "0123456789abcdef0123456789abcdef";
    settings.port = kPort;
    settings.outputFolder = folder;
    s.api = std::make_unique<StudioApi>(*s.data, settings);
    return s;
  }();
  return studio;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  StudioApi& api = *TheStudio().api;
  const auto headCheck = [&api](const HttpRequest& head) { return api.CheckHead(head); };
  const auto handler = [&api](const HttpRequest& request) {
    if (request.method == "POST" && request.path == "/api/build") {
      HttpResponse response;
      response.status = 202;
      return response;
    }
    return api.Handle(request);
  };
  const std::string answer =
      AnswerRawRequest(std::string_view(reinterpret_cast<const char*>(bytes), size), headCheck, handler, kPort);
  if (answer.empty()) return 0;
  if (answer.rfind("HTTP/1.1 ", 0) != 0 || answer.find("\r\n\r\n") == std::string::npos) std::abort();
  if (answer.rfind("HTTP/1.1 500", 0) == 0) std::abort();
  return 0;
}
