// The command line, the style file and the studio read a style's values
// through one reader: the same input is refused by all three with the same
// problem and message (English for the first two, Chinese on the page).
#include <gtest/gtest.h>

#include "fontbuild/style_file.h"
#include "fontbuild/style_messages.h"
#include "fontbuild/style_table.h"
#include "fontbuild/style_tree.h"
#include "studio/style_json.h"

namespace qzf {
namespace {

using nlohmann::json;

struct Case {
  const char* setting;
  const char* commandLine;  // the option's text
  const char* toml;         // the same value in a style file
  const char* json;         // and in a request
  ValueProblem problem;
  int cellSize;
  bool sameWords = true;  // a pair is written differently in each
};

const Case kCases[] = {
    {"weight", "950", "weight = 950", R"({"weight": 950})", ValueProblem::kNotInRange, 0},
    {"weight", "", "weight = \"\"", R"({"weight": ""})", ValueProblem::kEmpty, 0},
    {"weight", "bold", "weight = \"bold\"", R"({"weight": "bold"})", ValueProblem::kNotInRange, 0},
    {"weight", "2147483648", "weight = 2147483648", R"({"weight": 2147483648})", ValueProblem::kNotInRange, 0},
    {"glyph-size", "4294967320", "glyph-size = 4294967320", R"({"glyph-size": 4294967320})", ValueProblem::kNotInRange,
     0},
    {"glyph-size", "20=3", "[size.20]\nglyph-size = 3", R"({"size": {"20": {"glyph-size": 3}}})",
     ValueProblem::kNotInRange, 20},
    {"glyph-size", "24=", "[size.24]\nglyph-size = \"\"", R"({"size": {"24": {"glyph-size": ""}}})",
     ValueProblem::kEmpty, 24},
    {"baseline", "20=21", "[size.20]\nbaseline = 21", R"({"size": {"20": {"baseline": 21}}})",
     ValueProblem::kNotInRange, 20},
    {"baseline", "65", "baseline = 65", R"({"baseline": 65})", ValueProblem::kNotInRange, 0},
    {"shift", "64=65:0", "[size.64]\nshift = [65, 0]", R"({"size": {"64": {"shift": [65, 0]}}})",
     ValueProblem::kNotPair, 64, false},
    {"gamma", "0", "gamma = 0", R"({"gamma": 0})", ValueProblem::kNotInRange, 0},
    {"gamma", "10.5", "gamma = 10.5", R"({"gamma": 10.5})", ValueProblem::kNotInRange, 0},
    {"gamma", "", "gamma = \"\"", R"({"gamma": ""})", ValueProblem::kEmpty, 0},
    {"align", "middle", "align = \"middle\"", R"({"align": "middle"})", ValueProblem::kNotChoice, 0},
    {"align", "", "align = \"\"", R"({"align": ""})", ValueProblem::kEmpty, 0},
    {"face", "a\tb", "face = \"a\\tb\"", R"({"face": "a\tb"})", ValueProblem::kControlCharacter, 0},
    {"face", "", "face = \"\"", R"({"face": ""})", ValueProblem::kEmpty, 0},
};

TEST(StyleSourcesTest, TheSameInputIsRefusedTheSameWayEverywhere) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.setting) + " " + c.commandLine);
    const StyleSetting* setting = FindStyleSetting(c.setting);
    ASSERT_NE(setting, nullptr);

    StyleSettings settings;
    ValueError fromCommandLine;
    EXPECT_FALSE(ReadSettingText(*setting, c.commandLine, settings, fromCommandLine));
    EXPECT_EQ(fromCommandLine.problem, c.problem);
    EXPECT_EQ(fromCommandLine.setting, c.setting);
    EXPECT_EQ(fromCommandLine.cellSize, c.cellSize);

    StyleFileError fileError;
    EXPECT_FALSE(ParseStyleText(c.toml, fileError));
    ASSERT_TRUE(fileError.value) << fileError.message;
    EXPECT_EQ(fileError.value->problem, c.problem);
    EXPECT_EQ(fileError.value->cellSize, c.cellSize);
    std::string pageMessage;
    EXPECT_FALSE(studio::StyleFromJson(json::parse(c.json), pageMessage));
    ValueError inFile = *fileError.value;
    if (c.sameWords) {
      EXPECT_EQ(fileError.message, ValueErrorText(fromCommandLine, MessageLanguage::kEnglish));
      EXPECT_EQ(pageMessage, ValueErrorText(fromCommandLine, MessageLanguage::kChinese));
    } else {
      EXPECT_EQ(pageMessage, ValueErrorText(inFile, MessageLanguage::kChinese));
    }
  }
}

TEST(StyleSourcesTest, TheCommandLinesSizeListsTakeEachSizeOnce) {
  const std::pair<const char*, ValueProblem> refused[] = {
      {"20=18,20=19", ValueProblem::kDuplicateSize},
      {"20=18,", ValueProblem::kBadSizeList},
      {"30=18", ValueProblem::kBadSizeList},
      {"18,20=17", ValueProblem::kBadSizeList},
      {"20=18\n,24=22", ValueProblem::kControlCharacter},
  };
  const StyleSetting& glyphSize = *FindStyleSetting("glyph-size");
  for (const auto& [text, problem] : refused) {
    StyleSettings settings;
    ValueError error;
    EXPECT_FALSE(ReadSettingText(glyphSize, text, settings, error)) << text;
    EXPECT_EQ(error.problem, problem) << text;
  }
  StyleSettings settings;
  ValueError error;
  ASSERT_TRUE(ReadSettingText(glyphSize, "20=18,64=58", settings, error));
  EXPECT_EQ(std::get<int>(settings.sizes[0].at("glyph-size")), 18);
  EXPECT_FALSE(settings.sizes[1].contains("glyph-size"));
  EXPECT_EQ(std::get<int>(settings.sizes[2].at("glyph-size")), 58);
  ASSERT_TRUE(ReadSettingText(*FindStyleSetting("shift"), "1:-2", settings, error));
  EXPECT_EQ(std::get<IntPair>(settings.all.at("shift")), (IntPair{1, -2}));
}

TEST(StyleSourcesTest, MessagesQuoteWhatWasGivenOnOneLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "\"plain\""},
      {"two\nlines", "\"two\\nlines\""},
      {"quote\" and \\", "\"quote\\\" and \\\\\""},
      {"bell\a", "\"bell\\x07\""},
      {"字重", "\"字重\""},
      {std::string("\xE5\xAD", 2), "\"\\xE5\\xAD\""},  // a cut UTF-8 sequence
      {std::string(70, 'x'), "\"" + std::string(60, 'x') + "...\""},
  };
  for (const auto& [value, quoted] : cases) EXPECT_EQ(QuotedValue(value), quoted);
  for (const MessageLanguage language : {MessageLanguage::kEnglish, MessageLanguage::kChinese}) {
    for (int problem = 0; problem <= static_cast<int>(ValueProblem::kBadGlyph); ++problem) {
      for (const char* glyph : {"", "\n\r"}) {
        const ValueError error{static_cast<ValueProblem>(problem), "glyph-size", "a\nb\rc", 20, 0, glyph};
        const std::string text = ValueErrorText(error, language);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_of("\n\r"), std::string::npos) << text;
      }
    }
  }
}

}  // namespace
}  // namespace qzf
