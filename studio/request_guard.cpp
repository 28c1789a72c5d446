#include "studio/request_guard.h"

#include "studio/studio_language.h"
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

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

bool IsLoopbackHost(const std::string& host, std::uint16_t portNumber) {
  // Built by appending: GCC 12 at -O3 warns falsely on a literal + string.
  std::string port(1, ':');
  port += std::to_string(portNumber);
  for (const std::string address : {"127.0.0.1", "[::1]", "localhost"}) {
    if (host.size() == address.size() + port.size() && Lower(host.substr(0, address.size())) == address &&
        host.compare(address.size(), port.size(), port) == 0) {
      return true;
    }
  }
  return false;
}

bool IsStudioOrigin(const std::string& origin, const std::string& host) {
  const std::string scheme = "http://";
  return origin.size() == scheme.size() + host.size() && Lower(origin.substr(0, scheme.size())) == scheme &&
         Lower(origin.substr(scheme.size())) == Lower(host);
}

bool IsJsonContentType(const std::string& value) {
  const std::size_t semicolon = value.find(';');
  if (Lower(Trim(value.substr(0, semicolon))) != "application/json") return false;
  if (semicolon == std::string::npos) return true;
  std::string parameter = Lower(Trim(value.substr(semicolon + 1)));
  if (parameter.find(';') != std::string::npos) return false;
  const std::size_t equals = parameter.find('=');
  if (equals == std::string::npos || Trim(parameter.substr(0, equals)) != "charset") return false;
  std::string charset = Trim(parameter.substr(equals + 1));
  if (charset.size() >= 2 && charset.front() == '"' && charset.back() == '"')
    charset = charset.substr(1, charset.size() - 2);
  return charset == "utf-8";
}

GuardVerdict CheckRequest(const HttpRequest& request, const std::string& token, std::uint16_t port, bool jsonBody) {
  const auto host = request.Header("host");
  if (!host || !IsLoopbackHost(*host, port)) return {403, Text(MessageId::kRefusedHost)};
  if (const auto origin = request.Header("origin"); origin && !IsStudioOrigin(*origin, *host))
    return {403, Text(MessageId::kRefusedOrigin)};
  auto given = request.Header("x-studio-token");
  if (!given) given = request.QueryParameter("token");
  if (token.empty() || !given || !SameSecret(*given, token)) return {403, Text(MessageId::kRefusedToken)};
  if (jsonBody && !IsJsonContentType(request.Header("content-type").value_or("")))
    return {415, Text(MessageId::kRequestNotJsonType)};
  return {};
}

}  // namespace qzf::studio
