#include "fontbuild/style_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fontbuild/build_style_of.h"

namespace qzf {
namespace {

TEST(StyleFileTest, EveryValueSurvivesAWriteAndARead) {
  StyleSettings settings;
  settings.all["face"] = std::string("Noto Sans CJK SC");
  settings.all["fallback"] = std::vector<std::string>{"文泉驿微米黑", "a \"quoted\" \\ name"};
  settings.all["font-file"] = std::vector<std::string>{"C:\\fonts\\My Font.ttf"};
  settings.all["align"] = std::string("center");
  settings.all["fit"] = false;
  settings.all["weight"] = 700;
  settings.all["gamma"] = 1.25;
  settings.all["mono"] = false;
  settings.sizes[0]["glyph-size"] = 18;
  settings.sizes[0]["baseline"] = 17;
  settings.sizes[0]["shift"] = IntPair{1, -1};
  settings.sizes[2]["italic"] = true;
  settings.sizes[2]["gamma"] = 0.1 + 0.2;  // a value with no short decimal form
  settings.sizes[2]["gamma"] = 2.0;        // a whole number stays a float
  StyleFileError error;
  const auto back = ParseStyleText(FormatStyleText(settings), error);
  ASSERT_TRUE(back) << error.line << ": " << error.message;
  EXPECT_EQ(*back, settings);
  EXPECT_EQ(FormatStyleText(*back), FormatStyleText(settings));
}

TEST(StyleFileTest, BadFilesAreRefusedWithTheLineThatIsWrong) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"weight = 700\nwieght = 700\n", 2, "unknown setting \"wieght\""},
      {"weight = 950\n", 1, "weight: \"950\" is not an integer from 100 to 900"},
      {"weight = \"bold\"\n", 1, "weight: \"bold\" is not an integer from 100 to 900"},
      {"weight = \"\"\n", 1, "weight: the value is empty"},
      {"weight = 700.0\n", 1, "weight: \"700.0\" is not an integer from 100 to 900"},
      {"gamma = 0\n", 1, "gamma: \"0\" is not a number from 0.1 to 10"},
      {"gamma = nan\n", 1, "gamma: \"nan\" is not a number from 0.1 to 10"},
      {"gamma = inf\n", 1, "gamma: \"inf\" is not a number from 0.1 to 10"},
      {"italic = 1\n", 1, "italic: \"1\" is not true or false"},
      {"align = \"middle\"\n", 1, "align: \"middle\" is not one of design, center"},
      {"fallback = \"one\"\n", 1, "fallback: \"one\" is not text"},
      {"fallback = [\"a\\nb\"]\n", 1, "fallback: \"a\\nb\" holds a control character"},
      {"face = \"\"\n", 1, "face: the value is empty"},
      {"shift = [1]\n", 1, "shift: \"[1]\" is not two integers (right, down) from -64 to 64"},
      {"\n[size.20]\nbaseline = 21\n", 3, "baseline at 20 px: \"21\" is not an integer from 0 to 20"},
      {"[size.20]\nshift = [0, -21]\n", 2,
       "shift at 20 px: \"[0, -21]\" is not two integers (right, down) from -20 to 20"},
      {"[size.32]\nglyph-size = 30\n", 1, "size \"32\": the cell sizes are 20, 24 and 64"},
      {"[size.20]\ncolour = 3\n", 2, "unknown setting \"colour\""},
      {"[size.20]\nfit = true\n", 2, "fit: the same for every size; give it outside the sizes"},
      {"size = 3\n", 1, "size: \"3\" is not a table of sizes 20, 24 and 64"},
      {"glyph-size = 3\n", 1, "glyph-size: \"3\" is not an integer from 4 to 128"},
      // Checked before it is narrowed: 2^32 + 24 is not 24.
      {"glyph-size = 4294967320\n", 1, "glyph-size: \"4294967320\" is not an integer from 4 to 128"},
      {"face = \n", 1, nullptr},  // not TOML
  };
  for (const Case& c : cases) {
    StyleFileError error;
    EXPECT_FALSE(ParseStyleText(c.text, error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    if (c.message) {
      EXPECT_EQ(error.message, c.message) << c.text;
    } else {
      EXPECT_EQ(error.message.rfind("not TOML: ", 0), 0u) << error.message;
    }
  }
}

TEST(StyleFileTest, GivenValuesOverrideAndEverySizeBeatsOneSize) {
  StyleSettings file;
  file.all["face"] = std::string("A");
  file.sizes[0]["weight"] = 700;
  file.sizes[1]["glyph-size"] = 22;
  file.all["gamma"] = 1.5;
  StyleSettings options;
  options.all["weight"] = 400;
  options.sizes[2]["glyph-size"] = 60;
  const StyleSettings merged = OverrideStyle(file, options);
  EXPECT_EQ(std::get<std::string>(merged.all.at("face")), "A");
  const auto styles = SizeStylesOf(merged);
  EXPECT_EQ(styles[0].weight, 400);
  EXPECT_EQ(styles[1].emHeight, 22);
  EXPECT_EQ(styles[2].emHeight, 60);
  EXPECT_EQ(styles[0].emHeight, 0);
  for (const GlyphStyle& style : styles) EXPECT_EQ(style.gamma, 1.5);
}

TEST(StyleFileTest, AnEmptyStyleIsTheDefaultStyle) {
  StyleFileError error;
  const auto settings = ParseStyleText("# nothing\n", error);
  ASSERT_TRUE(settings);
  for (const GlyphStyle& style : SizeStylesOf(*settings)) EXPECT_EQ(style, GlyphStyle{});
  EXPECT_FALSE(PlacementGiven(*settings));
  std::string problem;
  EXPECT_EQ(BuildStyleOf(*settings, problem), BuildStyle{});
}

TEST(StyleFileTest, AFitCentresOnlyWhenNothingPlacesTheGlyphs) {
  struct Case {
    const char* text;
    GlyphAlign align;
  };
  const Case cases[] = {
      {"fit = true\n", GlyphAlign::kCenter},
      {"fit = true\nalign = \"design\"\n", GlyphAlign::kDesign},
      {"fit = true\n[size.64]\nbaseline = 50\n", GlyphAlign::kDesign},
      {"fit = true\nshift = [0, 1]\n", GlyphAlign::kDesign},
      {"align = \"center\"\n", GlyphAlign::kCenter},
  };
  for (const Case& c : cases) {
    StyleFileError error;
    const auto settings = ParseStyleText(c.text, error);
    ASSERT_TRUE(settings) << c.text;
    std::string problem;
    const auto style = BuildStyleOf(*settings, problem);
    ASSERT_TRUE(style) << problem;
    EXPECT_EQ(style->align, c.align) << c.text;
  }
}

}  // namespace
}  // namespace qzf
