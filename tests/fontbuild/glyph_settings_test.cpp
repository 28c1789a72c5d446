#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "fontbuild/build_style_of.h"
#include "fontbuild/style_file.h"
#include "fontbuild/style_tree.h"

namespace qzf {
namespace {

TEST(GlyphSettingsTest, CharactersAndCodesSurviveAWriteAndARead) {
  StyleSettings settings;
  settings.all["weight"] = 700;
  settings.all["punctuation"] = std::string("mainland");
  GlyphSettings& stop = settings.glyphs["。"];
  stop.all["shift"] = IntPair{1, -2};
  GlyphSettings& dragon = settings.glyphs["龘"];
  dragon.all["face"] = std::string("WenQuanYi Micro Hei");
  dragon.sizes[0]["glyph-size"] = 18;
  dragon.sizes[2]["image"] = std::string("glyphs/a \"b\".png");
  settings.glyphs["0x8142"].sizes[1]["punctuation"] = std::string("centred");
  settings.glyphs["\""].all["mono"] = true;  // a key TOML must quote and escape
  settings.glyphs["中"];                     // given with nothing in it
  StyleFileError error;
  const std::string text = FormatStyleText(settings);
  const auto back = ParseStyleText(text, error);
  ASSERT_TRUE(back) << error.line << ": " << error.message << "\n" << text;
  EXPECT_EQ(*back, settings) << text;
  EXPECT_EQ(FormatStyleText(*back), text);
}

TEST(GlyphSettingsTest, ATableOfSizesInPlaceOfAValueIsTheSameAsSizeTables) {
  StyleFileError error;
  const auto inline_ = ParseStyleText("[glyph.\"龘\"]\nglyph-size = { 20 = 18, 64 = 58 }\n", error);
  const auto tables =
      ParseStyleText("[glyph.\"龘\".size.20]\nglyph-size = 18\n[glyph.\"龘\".size.64]\nglyph-size = 58\n", error);
  ASSERT_TRUE(inline_ && tables);
  EXPECT_EQ(*inline_, *tables);
  EXPECT_EQ(std::get<int>(inline_->glyphs.at("龘").sizes[2].at("glyph-size")), 58);
  EXPECT_TRUE(inline_->glyphs.at("龘").sizes[1].empty());
}

TEST(GlyphSettingsTest, BadGlyphTablesAreRefusedNamingTheLineAndTheKey) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"[glyph.\"中\"]\nwieght = 700\n", 2, "glyph.\"中\": unknown setting \"wieght\""},
      {"[glyph.\"中\"]\nfit = true\n", 2,
       "glyph.\"中\": fit: the same for the whole font; a character takes face, image and the per-size settings"},
      {"[glyph.\"中\"]\nfallback = [\"a\"]\n", 2, nullptr},
      {"[glyph.\"中\"]\nshift = { 20 = [21, 0] }\n", 2,
       "glyph.\"中\": shift at 20 px: \"[21, 0]\" is not two integers (right, down) from -20 to 20"},
      {"[glyph.\"中\"]\nglyph-size = { 30 = 18 }\n", 2, "glyph.\"中\": size \"30\": the cell sizes are 20, 24 and 64"},
      {"[glyph.\"中\".size.24]\nface = \"A\"\n", 2,
       "glyph.\"中\": face: the same for every size; give it outside the sizes"},
      {"[glyph.\"中文\"]\nmono = true\n", 1, "glyph \"中文\": give one character or a game code such as 0x8142"},
      {"[glyph.0x81]\nmono = true\n", 1, "glyph \"0x81\": give one character or a game code such as 0x8142"},
      {"[glyph]\n\"中\" = 3\n", 2, nullptr},
      {"glyph = 3\n", 1, "glyph: \"3\" is not a table of sizes 20, 24 and 64"},
      {"image = \"a.png\"\n", 1, "image: for single characters only; give it under [glyph.\"X\"]"},
      {"[glyph.\"中\"]\npunctuation = \"left\"\n", 2,
       "glyph.\"中\": punctuation: \"left\" is not one of design, mainland, centred"},
  };
  for (const Case& c : cases) {
    StyleFileError error;
    EXPECT_FALSE(ParseStyleText(c.text, error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    if (c.message) {
      EXPECT_EQ(error.message, c.message) << c.text;
    }
  }
}

TEST(GlyphSettingsTest, KeysAreOneCharacterOrAGameCode) {
  for (const char* key : {"中", "。", "A", "0x8142", "0xfc4B", "\xF0\x9F\x98\x80"}) EXPECT_TRUE(IsGlyphKey(key)) << key;
  for (const char* key : {"", "中文", "0x814", "0x81421", "0xG142", "\n", "\xE4\xB8", "\xC0\x80"})
    EXPECT_FALSE(IsGlyphKey(key)) << key;
}

TEST(GlyphSettingsTest, ACharactersStyleIsTheFontsWithItsOwnSettingsOver) {
  StyleFileError error;
  const auto settings = ParseStyleText(
      "weight = 700\ngamma = 1.5\n[size.20]\nglyph-size = 18\n"
      "[glyph.\"中\"]\nshift = [1, -2]\nface = \"WenQuanYi Micro Hei\"\n[glyph.\"中\".size.64]\nweight = 300\n"
      "[glyph.0x8142]\npunctuation = \"centred\"\n",
      error);
  ASSERT_TRUE(settings) << error.message;
  std::string problem;
  const auto style = BuildStyleOf(*settings, problem);
  ASSERT_TRUE(style) << problem;
  ASSERT_EQ(style->glyphs.size(), 2u);
  // In key order: the code, then the character.
  const GlyphOverride& code = style->glyphs[0];
  EXPECT_EQ(code.code, 0x8142);
  EXPECT_FALSE(code.character);
  EXPECT_EQ(code.sizes[1].punctuation, PunctuationPlacement::kCentred);
  EXPECT_EQ(style->sizes[1].punctuation, PunctuationPlacement::kDesign);
  const GlyphOverride& zhong = style->glyphs[1];
  EXPECT_EQ(zhong.character, 0xD6D0);  // 中 in GBK
  EXPECT_EQ(zhong.face, "WenQuanYi Micro Hei");
  for (std::size_t i = 0; i < 3; ++i) {
    GlyphStyle expected = style->sizes[i];
    expected.shiftX = 1;
    expected.shiftY = -2;
    if (i == 2) expected.weight = 300;
    EXPECT_EQ(zhong.sizes[i], expected) << i;
    EXPECT_FALSE(zhong.emHeightGiven[i]);
    EXPECT_TRUE(zhong.images[i].empty());
  }
  EXPECT_EQ(zhong.sizes[0].emHeight, 18);
}

TEST(GlyphSettingsTest, UnusableCharactersAndPicturesAreRefusedNamingTheFileLineAndKey) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"\n[glyph.\"\xF0\x9F\x98\x80\"]\nmono = true\n",
       "s.toml:2: glyph.\"\xF0\x9F\x98\x80\": not a GBK character: no code of the dictionary can reach it"},
      {"[glyph.\"A\"]\nmono = true\n",
       "s.toml:1: glyph.\"A\": not a GBK character: no code of the dictionary can reach it"},
      {"[glyph.\"中\"]\nimage = \"no-such-{size}.png\"\n", "s.toml:1: glyph.\"中\": image: cannot read no-such-20.png"},
      {"[glyph.\"中\".size.64]\nimage = \"not-png.png\"\n", "s.toml:1: glyph.\"中\": image: not-png.png is not a PNG"},
  };
  std::string folder = ::testing::TempDir();
  if (folder.ends_with('/')) folder.pop_back();
  std::ofstream(folder + "/not-png.png") << "text";
  for (const Case& c : cases) {
    StyleFileError error;
    auto settings = ParseStyleText(c.text, error);
    ASSERT_TRUE(settings) << c.text << error.message;
    settings->source = "s.toml";
    settings->imageFolder = folder;
    std::string problem;
    EXPECT_FALSE(BuildStyleOf(*settings, problem)) << c.text;
    EXPECT_EQ(problem.substr(0, std::string(c.message).size()), c.message) << c.text;
  }
}

}  // namespace
}  // namespace qzf
