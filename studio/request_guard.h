// The checks every request to the studio passes before anything else sees
// it. A page of any other site the player has open can send requests to a
// local port; these shut it out:
//   - the token made at start (only the page the studio opened knows it),
//     from the query (?token=) or the X-Studio-Token header;
//   - the Host header must name the loopback address and the port served,
//     so a name that an attacker's DNS points at 127.0.0.1 is refused;
//   - requests that change anything are POST with a JSON body, which no
//     plain form of another site can send.
#pragma once

#include <cstdint>
#include <string>

#include "studio/http_message.h"

namespace qzf::studio {

// A fresh random token from the system's random source (32 hex digits);
// empty when the system gives no randomness.
std::string MakeToken();

struct GuardVerdict {
  int status = 0;       // 0: let through; else 403, 405 or 415
  std::string message;  // why, for the body
};

// `stateChanging`: the route changes something (then POST and JSON only).
GuardVerdict CheckRequest(const HttpRequest& request, const std::string& token, std::uint16_t port, bool stateChanging);

// Whether a Host header value names 127.0.0.1 or [::1] at `port`.
bool IsLoopbackHost(const std::string& host, std::uint16_t port);

// Compares in a time that does not depend on where the strings differ.
bool SameSecret(const std::string& a, const std::string& b);

}  // namespace qzf::studio
