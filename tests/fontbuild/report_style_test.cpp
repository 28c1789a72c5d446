// The build record's style block comes from the style table: its field names
// and meanings are what scripts of record version 1 read.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "fontbuild/report_records.h"

namespace qzf {
namespace {

using nlohmann::json;

TEST(ReportStyleTest, TheStyleBlockKeepsItsVersionOneFields) {
  FontBuildResult result;
  result.style.fit = true;
  result.style.align = GlyphAlign::kCenter;
  result.style.fallbackFaces = {"WenQuanYi Micro Hei"};
  result.style.sizes[0].baseline = 17;
  result.style.sizes[0].shiftX = 1;
  result.style.sizes[0].shiftY = -2;
  result.style.sizes[1].weight = 700;
  result.style.sizes[1].italic = true;
  result.style.sizes[2].mono = true;
  result.style.sizes[2].gamma = 1.5;
  result.style.sizes[2].emHeight = 40;  // as asked; the record says what the fit chose
  result.fits[2].emHeight = 58;
  result.fits[2].alignX = 3;
  result.fits[2].alignY = -4;

  const json record = json::parse(BuildRecordJson(result, {"out.qzf", "Face", std::nullopt}));
  EXPECT_EQ(record["version"], 1);
  const json& style = record["style"];
  EXPECT_EQ(style["fit"], true);
  EXPECT_EQ(style["align"], "center");
  EXPECT_EQ(style["fallback_faces"], json::array({"WenQuanYi Micro Hei"}));
  EXPECT_EQ(style["font_files"], json::array());
  ASSERT_EQ(style["sizes"].size(), 3u);
  const json expected = json::parse(R"([
    {"size": 20, "em_height": null, "baseline": 17, "shift": [1, -2], "align_offset": [0, 0],
     "weight": 400, "italic": false, "mono": false, "gamma": 1.0},
    {"size": 24, "em_height": null, "baseline": null, "shift": [0, 0], "align_offset": [0, 0],
     "weight": 700, "italic": true, "mono": false, "gamma": 1.0},
    {"size": 64, "em_height": 58, "baseline": null, "shift": [0, 0], "align_offset": [3, -4],
     "weight": 400, "italic": false, "mono": true, "gamma": 1.5}])");
  EXPECT_EQ(style["sizes"], expected);
}

}  // namespace
}  // namespace qzf
