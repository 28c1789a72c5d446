// The checks every request to the studio passes before anything else sees
// it. A page of any other site the player has open can send requests to a
// local port; these shut it out:
//   - the token made at start (only the page the studio opened knows it),
//     from the query (?token=) or the X-Studio-Token header;
//   - the Host header must name the loopback address (127.0.0.1, [::1] or
//     localhost) and the port served, so a name that an attacker's DNS
//     points at 127.0.0.1 is refused;
//   - an Origin, when the browser sends one, must be the studio's own;
//   - requests with a JSON body say so exactly (application/json, at most a
//     charset of UTF-8), which no plain form of another site can send.
// All of it is judged on the request's head, before its body is read.
#pragma once

#include <cstdint>
#include <string>

#include "studio/http_message.h"

namespace qzf::studio {

// A fresh random token from the system's random source (32 hex digits);
// empty when the system gives no randomness.
std::string MakeToken();

struct GuardVerdict {
  int status = 0;       // 0: let through; else 403 or 415
  std::string message;  // why, for the body
};

// `jsonBody`: the route takes a JSON body.
GuardVerdict CheckRequest(const HttpRequest& request, const std::string& token, std::uint16_t port, bool jsonBody);

// Whether a Host header value names 127.0.0.1, [::1] or localhost at `port`.
bool IsLoopbackHost(const std::string& host, std::uint16_t port);

// Whether an Origin header value is the studio's own page: http:// and the
// request's (already checked) Host.
bool IsStudioOrigin(const std::string& origin, const std::string& host);

// "application/json", any case, with no parameter or a charset of UTF-8.
bool IsJsonContentType(const std::string& value);

// Compares in a time that does not depend on where the strings differ.
bool SameSecret(const std::string& a, const std::string& b);

}  // namespace qzf::studio
