#include "studio/request_guard.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>
#else
#include <sys/random.h>
#endif

namespace qzf::studio {
namespace {

bool RandomBytes(unsigned char* out, std::size_t count) {
#ifdef _WIN32
  return BCryptGenRandom(nullptr, out, static_cast<ULONG>(count), BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
#else
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = getrandom(out + got, count - got, 0);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
#endif
}

}  // namespace

std::string MakeToken() {
  unsigned char bytes[16];
  if (!RandomBytes(bytes, sizeof(bytes))) return "";
  static const char kDigits[] = "0123456789abcdef";
  std::string token(2 * sizeof(bytes), '0');
  for (std::size_t i = 0; i < sizeof(bytes); ++i) {
    token[2 * i] = kDigits[bytes[i] >> 4];
    token[2 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
  return token;
}

bool SameSecret(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    difference |= static_cast<unsigned char>(static_cast<unsigned char>(a[i]) ^ static_cast<unsigned char>(b[i]));
  return difference == 0;
}

bool IsLoopbackHost(const std::string& host, std::uint16_t portNumber) {
  std::string port(1, ':');
  port += std::to_string(portNumber);
  for (const std::string address : {"127.0.0.1", "[::1]"}) {
    if (host.size() == address.size() + port.size() && host.compare(0, address.size(), address) == 0 &&
        host.compare(address.size(), port.size(), port) == 0) {
      return true;
    }
  }
  return false;
}

GuardVerdict CheckRequest(const HttpRequest& request, const std::string& token, std::uint16_t port,
                          bool stateChanging) {
  const auto host = request.Header("host");
  if (!host || !IsLoopbackHost(*host, port)) return {403, "forbidden: wrong Host"};
  auto given = request.Header("x-studio-token");
  if (!given) given = request.QueryParameter("token");
  if (token.empty() || !given || !SameSecret(*given, token)) return {403, "forbidden: missing or wrong token"};
  if (stateChanging) {
    if (request.method != "POST") return {405, "use POST"};
    const std::string type = request.Header("content-type").value_or("");
    if (type.rfind("application/json", 0) != 0) return {415, "send a JSON body (Content-Type: application/json)"};
  }
  return {};
}

}  // namespace qzf::studio
