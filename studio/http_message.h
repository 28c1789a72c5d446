// One HTTP request as the studio's server hands it to its handler, and the
// response the handler gives back.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qzf::studio {

struct HttpRequest {
  std::string method;  // "GET", "POST", ...
  std::string path;    // the target before '?', still percent-encoded
  std::string query;   // after '?', without it
  // Header names in lower case; a name given twice keeps its first value
  // (the server refuses a second Host outright, the parser a second length).
  std::map<std::string, std::string> headers;
  std::string body;
  std::uint16_t localPort = 0;  // the port the request came in on

  std::optional<std::string> Header(const std::string& lowerName) const;
  // A query parameter, percent-decoded; nullopt when absent.
  std::optional<std::string> QueryParameter(const std::string& name) const;
};

struct HttpResponse {
  int status = 200;
  std::string contentType = "text/plain; charset=utf-8";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // beyond the ones every response gets
};

// "%41b+c" -> "Ab c"; nullopt on a malformed escape.
std::optional<std::string> PercentDecode(const std::string& text, bool plusIsSpace);

}  // namespace qzf::studio
