#include "studio/style_json.h"

#include <gtest/gtest.h>

#include "fontbuild/style_file.h"

namespace qzf::studio {
namespace {

using nlohmann::json;

TEST(StyleJsonTest, EveryFieldSurvivesTheTripThroughJsonAndMeansWhatTheStyleFileMeans) {
  const std::string file =
      "face = \"Noto Sans CJK SC\"\nfallback = [\"WenQuanYi Micro Hei\"]\nalign = \"center\"\nfit = true\n"
      "weight = 700\nitalic = true\n[size.20]\nglyph-size = 18\nbaseline = 17\nshift = [1, -1]\nmono = true\n"
      "[size.64]\ngamma = 1.5\n";
  StyleFileError error;
  const auto settings = ParseStyleText(file, error);
  ASSERT_TRUE(settings) << error.message;
  std::string problem;
  const auto back = StyleFromJson(json::parse(StyleToJson(*settings).dump()), problem);
  ASSERT_TRUE(back) << problem;
  EXPECT_EQ(*back, *settings);
}

TEST(StyleJsonTest, NullAndMissingFieldsAreNotGiven) {
  std::string problem;
  const auto settings =
      StyleFromJson(json::parse(R"({"face": null, "all": {"weight": null}, "sizes": {"20": null}})"), problem);
  ASSERT_TRUE(settings) << problem;
  EXPECT_EQ(*settings, StyleSettings{});
}

TEST(StyleJsonTest, BadValuesAreRefusedNamingTheFieldAndSize) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"all": {"glyphSize": 3}})", "字号"},
      {R"({"all": {"glyphSize": 12.5}})", "字号"},
      {R"({"sizes": {"20": {"baseline": -1}}})", "20 像素的基线"},
      {R"({"sizes": {"20": {"baseline": 21}}})", "20 像素的基线"},
      {R"({"sizes": {"24": {"shift": [0, 25]}}})", "24 像素的位移"},
      {R"({"sizes": {"24": {"shift": [0, 1, 2]}}})", "24 像素的位移"},
      {R"({"all": {"weight": 99}})", "字重"},
      {R"({"all": {"italic": 1}})", "斜体"},
      {R"({"all": {"mono": "yes"}})", "黑白两级"},
      {R"({"sizes": {"64": {"gamma": 10.5}}})", "64 像素的灰度曲线"},
      {R"({"sizes": {"48": {}}})", "48"},
      {R"({"sizes": {"20": {"size": 18}}})", "size"},
      {R"({"align": "middle"})", "对齐"},
      {R"({"fallback": "WenQuanYi Micro Hei"})", "后备字体"},
      {R"({"fallback": [""]})", "后备字体"},
      {R"({"colour": 1})", "colour"},
      {R"([1, 2])", "样式"},
  };
  for (const auto& [text, named] : cases) {
    std::string problem;
    EXPECT_FALSE(StyleFromJson(json::parse(text), problem)) << text;
    EXPECT_NE(problem.find(named), std::string::npos) << text << ": " << problem;
  }
}

}  // namespace
}  // namespace qzf::studio
