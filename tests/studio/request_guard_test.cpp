#include "studio/request_guard.h"

#include <gtest/gtest.h>

#include <set>

namespace qzf::studio {
namespace {

constexpr std::uint16_t kPort = 40123;
const std::string kToken = "0123456789abcdef0123456789abcdef";

HttpRequest Request(const std::string& method, const std::string& path, const std::string& query = "") {
  HttpRequest request;
  request.method = method;
  request.path = path;
  request.query = query;
  request.headers["host"] = "127.0.0.1:40123";
  return request;
}

TEST(RequestGuardTest, OnlyTheLoopbackAddressesAtThePortServedAreHosts) {
  const std::pair<const char*, bool> cases[] = {
      {"127.0.0.1:40123", true},
      {"[::1]:40123", true},
      {"127.0.0.1", false},
      {"localhost:40123", true},
      {"LocalHost:40123", true},
      {"localhost", false},
      {"localhost.example:40123", false},
      {"127.0.0.1:40124", false},
      {"127.0.0.1:401230", false},
      {"127.0.0.2:40123", false},
      {"attacker.example:40123", false},
      {"127.0.0.1:40123.evil", false},
      {"[::1]", false},
      {"::1:40123", false},
      {"", false},
  };
  for (const auto& [host, ok] : cases) EXPECT_EQ(IsLoopbackHost(host, kPort), ok) << host;
}

TEST(RequestGuardTest, TheTokenComesInTheHeaderOrTheQueryAndMustMatchWhole) {
  HttpRequest request = Request("GET", "/");
  EXPECT_EQ(CheckRequest(request, kToken, kPort, false).status, 403);
  request.query = "token=" + kToken;
  EXPECT_EQ(CheckRequest(request, kToken, kPort, false).status, 0);
  request.query = "x=1&token=" + kToken + "&y=2";
  EXPECT_EQ(CheckRequest(request, kToken, kPort, false).status, 0);
  request.query = "token=" + kToken.substr(1);
  EXPECT_EQ(CheckRequest(request, kToken, kPort, false).status, 403);
  request.query = "token=" + kToken + "0";
  EXPECT_EQ(CheckRequest(request, kToken, kPort, false).status, 403);
  request.query = "";
  request.headers["x-studio-token"] = kToken;
  EXPECT_EQ(CheckRequest(request, kToken, kPort, false).status, 0);
  // A server without a token lets nobody in.
  EXPECT_EQ(CheckRequest(request, "", kPort, false).status, 403);
  request.headers["host"] = "attacker.example:40123";
  EXPECT_EQ(CheckRequest(request, kToken, kPort, false).status, 403);
}

TEST(RequestGuardTest, JsonBodiesSayExactlyJson) {
  HttpRequest request = Request("POST", "/api/build");
  request.headers["x-studio-token"] = kToken;
  EXPECT_EQ(CheckRequest(request, kToken, kPort, true).status, 415);
  const std::pair<const char*, bool> types[] = {
      {"application/json", true},
      {"Application/JSON", true},
      {"application/json; charset=utf-8", true},
      {"application/json;charset=\"UTF-8\"", true},
      {"application/jsonx", false},
      {"application/json-patch+json", false},
      {"application/json; charset=latin1", false},
      {"application/json; charset=utf-8; x=1", false},
      {"application/json; boundary=x", false},
      {"text/plain", false},
      {"application/x-www-form-urlencoded", false},
      {"multipart/form-data; boundary=x", false},
      {"", false},
  };
  for (const auto& [type, ok] : types) {
    request.headers["content-type"] = type;
    EXPECT_EQ(CheckRequest(request, kToken, kPort, true).status, ok ? 0 : 415) << type;
    // A route without a body does not look at it.
    EXPECT_EQ(CheckRequest(request, kToken, kPort, false).status, 0) << type;
  }
}

TEST(RequestGuardTest, AnOriginMustBeTheStudiosOwn) {
  HttpRequest request = Request("POST", "/api/preview");
  request.headers["x-studio-token"] = kToken;
  request.headers["content-type"] = "application/json";
  const std::pair<const char*, bool> origins[] = {
      {"http://127.0.0.1:40123", true},
      {"http://attacker.example", false},
      {"http://127.0.0.1:40124", false},
      {"https://127.0.0.1:40123", false},
      {"http://localhost:40123", false},  // the page was served as 127.0.0.1
      {"null", false},
      {"", false},
  };
  for (const auto& [origin, ok] : origins) {
    request.headers["origin"] = origin;
    EXPECT_EQ(CheckRequest(request, kToken, kPort, true).status, ok ? 0 : 403) << origin;
  }
  request.headers["host"] = "localhost:40123";
  request.headers["origin"] = "http://localhost:40123";
  EXPECT_EQ(CheckRequest(request, kToken, kPort, true).status, 0);
}

TEST(RequestGuardTest, TokensAreFreshHexOf128Bits) {
  std::set<std::string> tokens;
  for (int i = 0; i < 50; ++i) {
    const std::string token = MakeToken();
    ASSERT_EQ(token.size(), 32u);
    EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos);
    tokens.insert(token);
  }
  EXPECT_EQ(tokens.size(), 50u);
}

TEST(RequestGuardTest, QueryParametersAreDecoded) {
  HttpRequest request = Request("GET", "/", "a=%E5%8F%A4+b&token=x%3Dy&bad=%G1");
  EXPECT_EQ(request.QueryParameter("a"), "\xE5\x8F\xA4 b");
  EXPECT_EQ(request.QueryParameter("token"), "x=y");
  EXPECT_EQ(request.QueryParameter("bad"), std::nullopt);
  EXPECT_EQ(request.QueryParameter("missing"), std::nullopt);
}

}  // namespace
}  // namespace qzf::studio
