#include "studio/request_json.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace qzf::studio {
namespace {

using nlohmann::json;

TEST(RequestJsonTest, BodiesAreObjectsNestedNoDeeperThanTheLimit) {
  // Built by appending only (GCC 12 at -O3 warns falsely on literal + string).
  auto nested = [](int depth, const char* open, const char* inner, const char* close) {
    std::string text = "{\"x\":";
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += close;
    text += "}";
    return text;
  };
  const std::pair<std::string, bool> cases[] = {
      {"{}", true},
      {R"({"a": [1, {"b": [2]}], "c": "d"})", true},
      {nested(kMaxJsonDepth - 1, "[", "", "]"), true},  // with the outer object: the limit itself
      {nested(kMaxJsonDepth, "[", "", "]"), false},
      {nested(100000, "[", "", "]"), false},
      {nested(kMaxJsonDepth - 1, "{\"a\":", "1", "}"), true},
      {nested(60000, "{\"a\":", "1", "}"), false},
      {"[]", false},
      {"\"text\"", false},
      {"5", false},
      {"", false},
      {"{", false},
      {R"({"a": NaN})", false},
      {R"({"a": Infinity})", false},
      {R"({"a": 1e400})", false},
      {"{} {}", false},
  };
  for (const auto& [text, ok] : cases) {
    std::string error;
    const auto parsed = ParseJsonBody(text, error);
    EXPECT_EQ(parsed.has_value(), ok) << text.substr(0, 80);
    EXPECT_EQ(error.empty(), ok) << text.substr(0, 80);
  }
  std::string error;
  ParseJsonBody(nested(100000, "[", "", "]"), error);
  EXPECT_NE(error.find(std::to_string(kMaxJsonDepth)), std::string::npos) << error;
}

TEST(RequestJsonTest, IntegersAreCheckedBeforeTheyAreNarrowed) {
  struct Case {
    const char* text;
    std::int64_t min, max;
    bool ok;
    std::int64_t value;
  };
  const Case cases[] = {
      {"1", 1, 200, true, 1},
      {"200", 1, 200, true, 200},
      {"0", 1, 200, false, 0},
      {"201", 1, 200, false, 0},
      {"-1", 0, 200, false, 0},
      {"2147483648", 0, 2147483647, false, 0},
      {"4294967320", 0, 1024, false, 0},            // 2^32 + 24: would wrap to 24 as 32 bits
      {"9223372036854775808", 0, 1024, false, 0},   // 2^63: past the signed range
      {"18446744073709551615", 0, 1024, false, 0},  // 2^64 - 1
      {"-9223372036854775808", -5, 5, false, 0},
      {"9223372036854775807", 0, INT64_MAX, true, INT64_MAX},
      {"20.0", 0, 200, false, 0},
      {"20.5", 0, 200, false, 0},
      {"\"20\"", 0, 200, false, 0},
      {"true", 0, 200, false, 0},
      {"null", 0, 200, false, 0},
      {"[20]", 0, 200, false, 0},
  };
  for (const Case& c : cases) {
    std::int64_t out = -7;
    std::string error;
    EXPECT_EQ(ReadInteger(json::parse(c.text), "width", c.min, c.max, out, error), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(out, c.value) << c.text;
    } else {
      EXPECT_EQ(out, -7) << c.text;
      EXPECT_NE(error.find("width"), std::string::npos) << error;
    }
  }
}

TEST(RequestJsonTest, OtherFieldsNameThemselvesWhenWrong) {
  std::string text, error;
  bool flag = false;
  EXPECT_TRUE(ReadString(json("a"), "name", text, error));
  EXPECT_EQ(text, "a");
  for (const json& bad : {json(5), json(nullptr), json::array(), json::object(), json(true)}) {
    error.clear();
    EXPECT_FALSE(ReadString(bad, "name", text, error)) << bad;
    EXPECT_NE(error.find("name"), std::string::npos);
  }
  EXPECT_TRUE(ReadBool(json(true), "withStock", flag, error));
  EXPECT_TRUE(flag);
  for (const json& bad : {json("yes"), json(1), json(nullptr)}) {
    error.clear();
    EXPECT_FALSE(ReadBool(bad, "withStock", flag, error)) << bad;
    EXPECT_NE(error.find("withStock"), std::string::npos);
  }
  EXPECT_TRUE(IsArrayField(json::array({1, 2}), "texts", 2, error));
  EXPECT_FALSE(IsArrayField(json::array({1, 2, 3}), "texts", 2, error));
  EXPECT_FALSE(IsArrayField(json("ab"), "texts", 2, error));
  EXPECT_NE(error.find("texts"), std::string::npos);

  const json body = json::parse(R"({"face": "x", "style": {}, "colour": 1})");
  EXPECT_EQ(UnknownField(body, {"face", "style", "colour"}), "");
  EXPECT_NE(UnknownField(body, {"face", "style"}).find("colour"), std::string::npos);
  EXPECT_NE(UnknownField(json::parse(R"({"x": 1})"), {}).find("x"), std::string::npos);
}

}  // namespace
}  // namespace qzf::studio
