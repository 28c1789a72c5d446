#include "fontbuild/style_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qzf {
namespace {

TEST(StyleFileTest, EveryFieldSurvivesAWriteAndARead) {
  StyleSettings settings;
  settings.face = "Noto Sans CJK SC";
  settings.fallback = std::vector<std::string>{"文泉驿微米黑", "a \"quoted\" \\ name"};
  settings.fontFile = std::vector<std::string>{"C:\\fonts\\My Font.ttf"};
  settings.align = GlyphAlign::kCenter;
  settings.fit = false;
  settings.all.weight = 700;
  settings.all.gamma = 1.25;
  settings.all.mono = false;
  settings.sizes[0].glyphSize = 18;
  settings.sizes[0].baseline = 17;
  settings.sizes[0].shift = std::make_pair(1, -1);
  settings.sizes[2].italic = true;
  settings.sizes[2].gamma = 0.1 + 0.2;  // a value with no short decimal form
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
      {"weight = 700\nwieght = 700\n", 2, "unknown key 'wieght'"},
      {"weight = 950\n", 1, "'weight' must be an integer from 100 to 900"},
      {"weight = \"bold\"\n", 1, "'weight' must be an integer"},
      {"gamma = 0\n", 1, "'gamma' must be a number from 0.1 to 10"},
      {"italic = 1\n", 1, "'italic' must be true or false"},
      {"align = \"middle\"\n", 1, "'align' must be \"design\" or \"center\""},
      {"fallback = \"one\"\n", 1, "'fallback' must be a list of strings"},
      {"shift = [1]\n", 1, "'shift' must be [right, down], two integers"},
      {"\n[size.20]\nbaseline = 21\n", 3, "'baseline' must be a row from 0 to 20"},
      {"[size.20]\nshift = [0, -21]\n", 2, "'shift' must be a number of pixels from -20 to 20"},
      {"[size.32]\nglyph-size = 30\n", 1, "[size.32]: the cell sizes are 20, 24 and 64"},
      {"[size.20]\ncolour = 3\n", 2, "unknown key 'colour'"},
      {"glyph-size = 3\n", 1, "'glyph-size' must be an integer from 4 to 128"},
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

TEST(StyleFileTest, GivenFieldsOverrideAndEverySizeBeatsOneSize) {
  StyleSettings file;
  file.face = "A";
  file.sizes[0].weight = 700;
  file.sizes[1].glyphSize = 22;
  file.all.gamma = 1.5;
  StyleSettings options;
  options.all.weight = 400;
  options.sizes[2].glyphSize = 60;
  const StyleSettings merged = OverrideStyle(file, options);
  EXPECT_EQ(merged.face, "A");
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
  EXPECT_FALSE(settings->PlacementGiven());
}

}  // namespace
}  // namespace qzf
