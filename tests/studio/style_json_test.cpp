#include "studio/style_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fontbuild/style_file.h"

namespace qzf::studio {
namespace {

using nlohmann::json;

TEST(StyleJsonTest, EveryValueSurvivesTheTripThroughJsonAndMeansWhatTheStyleFileMeans) {
  const std::string file =
      "face = \"Noto Sans CJK SC\"\nfallback = [\"WenQuanYi Micro Hei\"]\nalign = \"center\"\nfit = true\n"
      "weight = 700\nitalic = true\n[size.20]\nglyph-size = 18\nbaseline = 17\nshift = [1, -1]\nmono = true\n"
      "[size.64]\ngamma = 1.5\n[glyph.\"中\"]\nshift = [1, -2]\nface = \"WenQuanYi Micro Hei\"\n"
      "[glyph.\"中\".size.20]\nimage = \"glyphs/中-20.png\"\n[glyph.0x8142]\npunctuation = \"centred\"\n";
  StyleFileError error;
  const auto settings = ParseStyleText(file, error);
  ASSERT_TRUE(settings) << error.message;
  std::string problem;
  const auto back = StyleFromJson(json::parse(StyleToJson(*settings).dump()), problem);
  ASSERT_TRUE(back) << problem;
  EXPECT_EQ(*back, *settings);
  EXPECT_EQ(back->glyphs.size(), 2u);
}

TEST(StyleJsonTest, NullAndMissingFieldsAreNotGiven) {
  std::string problem;
  const auto settings = StyleFromJson(
      json::parse(R"({"face": null, "weight": null, "size": {"20": null, "24": {"gamma": null}}})"), problem);
  ASSERT_TRUE(settings) << problem;
  EXPECT_EQ(*settings, StyleSettings{});
}

TEST(StyleJsonTest, BadValuesAreRefusedBeforeNarrowingNamingTheFieldAndSize) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  const std::pair<json, const char*> cases[] = {
      {json::parse(R"({"glyph-size": 3})"), "字身高度"},
      {json::parse(R"({"glyph-size": 12.5})"), "字身高度"},
      {json::parse(R"({"glyph-size": 2147483648})"), "字身高度"},
      {json::parse(R"({"glyph-size": 4294967320})"), "字身高度"},           // 2^32 + 24
      {json::parse(R"({"glyph-size": 9223372036854775808})"), "字身高度"},  // 2^63
      {json::parse(R"({"glyph-size": -9223372036854775808})"), "字身高度"},
      {json::parse(R"({"glyph-size": "18"})"), "字身高度"},
      {json{{"gamma", nan}}, "灰度曲线"},
      {json{{"gamma", infinity}}, "灰度曲线"},
      {json{{"gamma", -infinity}}, "灰度曲线"},
      {json::parse(R"({"size": {"20": {"baseline": -1}}})"), "20 像素格子的基线"},
      {json::parse(R"({"size": {"20": {"baseline": 21}}})"), "20 像素格子的基线"},
      {json::parse(R"({"size": {"24": {"shift": [0, 25]}}})"), "24 像素格子的位移"},
      {json::parse(R"({"size": {"24": {"shift": [0, 4294967297]}}})"), "24 像素格子的位移"},
      {json::parse(R"({"size": {"24": {"shift": [0, 1, 2]}}})"), "24 像素格子的位移"},
      {json::parse(R"({"weight": 99})"), "字重"},
      {json::parse(R"({"weight": ""})"), "字重不能为空"},
      {json::parse(R"({"italic": 1})"), "斜体"},
      {json::parse(R"({"mono": "yes"})"), "黑白两级"},
      {json::parse(R"({"size": {"64": {"gamma": 10.5}}})"), "64 像素格子的灰度曲线"},
      {json::parse(R"({"size": {"48": {}}})"), "48"},
      {json::parse(R"({"size": {"20": 5}})"), "样式格式不对"},
      {json::parse(R"({"size": [1]})"), "样式格式不对"},
      {json::parse(R"({"size": {"20": {"size": 18}}})"), "size"},
      {json::parse(R"({"size": {"20": {"fit": true}}})"), "自动适配大小对所有格子都一样"},
      {json::parse(R"({"align": "middle"})"), "对齐"},
      {json::parse(R"({"fallback": "WenQuanYi Micro Hei"})"), "后备字体"},
      {json::parse(R"({"fallback": [""]})"), "后备字体"},
      {json::parse(R"({"fallback": [1]})"), "后备字体"},
      {json::parse(R"({"face": "a\nb"})"), "控制字符"},
      {json{{"face", std::string(256, 'x')}}, "超过 255 字节"},
      {json{{"fallback", std::vector<std::string>(17, "x")}}, "最多 16 个"},
      {json::parse(R"({"colour": 1})"), "colour"},
      {json::parse(R"({"size": {"20": {"colour": 1}}})"), "colour"},
      {json::parse(R"([1, 2])"), "样式"},
  };
  for (const auto& [style, named] : cases) {
    std::string problem;
    EXPECT_FALSE(StyleFromJson(style, problem)) << style.dump();
    EXPECT_NE(problem.find(named), std::string::npos) << style.dump() << ": " << problem;
  }
}

TEST(StyleJsonTest, TheTableForThePageHoldsEachSettingsLimitsPerSize) {
  const json table = StyleTableJson();
  ASSERT_TRUE(table.is_array());
  const json* baseline = nullptr;
  for (const json& entry : table) {
    EXPECT_FALSE(entry["label"].get<std::string>().empty()) << entry.dump();
    // A choice is offered on the page under a label of its own.
    if (entry["kind"] == "choice") {
      EXPECT_EQ(entry["choiceLabels"].size(), entry["choices"].size()) << entry.dump();
    }
    if (entry["name"] == "baseline") baseline = &entry;
  }
  ASSERT_NE(baseline, nullptr);
  EXPECT_EQ((*baseline)["limits"]["20"], json::array({0, 20}));
  EXPECT_EQ((*baseline)["limits"]["all"], json::array({0, 64}));
  EXPECT_TRUE((*baseline)["perSize"].get<bool>());
}

}  // namespace
}  // namespace qzf::studio
