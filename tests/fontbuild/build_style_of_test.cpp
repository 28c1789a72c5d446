#include "fontbuild/build_style_of.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/portable/system_path.h"

namespace qzf {
namespace {

// A fit centres the glyphs unless the style places them itself: a baseline
// or a shift, for every size or for one, or an alignment given outright.
TEST(BuildStyleOfTest, AFitCentresUnlessThePlaceIsGiven) {
  struct Case {
    const char* name;
    StyleSettings settings;
    bool fit;
    GlyphAlign align;
  };
  auto with = [](auto change) {
    StyleSettings s;
    change(s);
    return s;
  };
  const Case cases[] = {
      {"nothing given", {}, false, GlyphAlign::kDesign},
      {"fit", with([](StyleSettings& s) { s.all["fit"] = true; }), true, GlyphAlign::kCenter},
      {"no fit", with([](StyleSettings& s) { s.all["fit"] = false; }), false, GlyphAlign::kDesign},
      {"fit, baseline for all", with([](StyleSettings& s) { s.all["fit"] = true, s.all["baseline"] = 18; }), true,
       GlyphAlign::kDesign},
      {"fit, baseline for 24", with([](StyleSettings& s) { s.all["fit"] = true, s.sizes[1]["baseline"] = 18; }), true,
       GlyphAlign::kDesign},
      {"fit, shift for all", with([](StyleSettings& s) {
         s.all["fit"] = true, s.all["shift"] = IntPair{0, 0};
       }),
       true, GlyphAlign::kDesign},
      {"fit, shift for 64", with([](StyleSettings& s) {
         s.all["fit"] = true, s.sizes[2]["shift"] = IntPair{1, -1};
       }),
       true, GlyphAlign::kDesign},
      {"fit, design alignment",
       with([](StyleSettings& s) { s.all["fit"] = true, s.all["align"] = std::string("design"); }), true,
       GlyphAlign::kDesign},
      {"fit, centred and a baseline", with([](StyleSettings& s) {
         s.all["fit"] = true, s.all["align"] = std::string("center"), s.all["baseline"] = 3;
       }),
       true, GlyphAlign::kCenter},
      {"centred without a fit", with([](StyleSettings& s) { s.all["align"] = std::string("center"); }), false,
       GlyphAlign::kCenter},
      {"fit, a size and a weight",
       with([](StyleSettings& s) { s.all["fit"] = true, s.all["glyph-size"] = 30, s.all["weight"] = 700; }), true,
       GlyphAlign::kCenter},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto style = BuildStyleOf(c.settings, error);
    ASSERT_TRUE(style.has_value()) << c.name << ": " << error;
    EXPECT_EQ(style->fit, c.fit) << c.name;
    EXPECT_EQ(style->align, c.align) << c.name;
    EXPECT_TRUE(error.empty()) << c.name;
  }
}

// The sizes' own values reach the build, one size's over every size's.
TEST(BuildStyleOfTest, TheSizesCarryTheirValues) {
  StyleSettings settings;
  settings.all["glyph-size"] = 22;
  settings.sizes[2]["glyph-size"] = 60;
  settings.sizes[1]["baseline"] = 19;
  settings.all["weight"] = 700;
  std::string error;
  const auto style = BuildStyleOf(settings, error);
  ASSERT_TRUE(style.has_value()) << error;
  EXPECT_EQ(style->sizes[0].emHeight, 22);
  EXPECT_EQ(style->sizes[1].emHeight, 22);
  EXPECT_EQ(style->sizes[2].emHeight, 60);
  EXPECT_EQ(style->sizes[1].baseline, 19);
  EXPECT_FALSE(style->sizes[0].baseline.has_value());
  for (const GlyphStyle& size : style->sizes) EXPECT_EQ(size.weight, 700);
}

// Fallback faces become GBK names in their order; a name that is empty, holds
// a character GBK lacks or takes 256 bytes or more is refused by name.
TEST(BuildStyleOfTest, FallbackNamesAreGbkOrRefused) {
  StyleSettings settings;
  const std::string hei = "\xE9\xBB\x91\xE4\xBD\x93";  // two hanzi, "black body"
  std::string longest;
  for (int i = 0; i < 127; ++i) longest += "\xE5\xAE\x8B";  // 127 hanzi, 254 bytes in GBK
  settings.all["fallback"] = std::vector<std::string>{"Arial", hei, longest + "x"};
  std::string error;
  const auto style = BuildStyleOf(settings, error);
  ASSERT_TRUE(style.has_value()) << error;
  ASSERT_EQ(style->fallbackFaces.size(), 3u);
  EXPECT_EQ(style->fallbackFaces[0], "Arial");
  EXPECT_EQ(style->fallbackFaces[1], "\xBA\xDA\xCC\xE5");
  EXPECT_EQ(style->fallbackFaces[2].size(), 255u);

  const std::string refused[] = {"", "\xF0\x9F\x98\x80 Emoji", longest + "xy", longest + "\xE5\xAE\x8B"};
  for (const std::string& name : refused) {
    settings.all["fallback"] = std::vector<std::string>{"Arial", name};
    error.clear();
    EXPECT_FALSE(BuildStyleOf(settings, error).has_value()) << name;
    EXPECT_EQ(error, "not a usable fallback face name: " + name);
  }
}

// Font files become the system's paths in their order; a path the system's
// file names cannot hold is refused by name.
TEST(BuildStyleOfTest, FontFilesArePathsOrRefused) {
  StyleSettings settings;
  settings.all["font-file"] = std::vector<std::string>{"/fonts/b.ttf", "fonts/a.otf"};
  std::string error;
  const auto style = BuildStyleOf(settings, error);
  ASSERT_TRUE(style.has_value()) << error;
  ASSERT_EQ(style->fontFiles.size(), 2u);
  EXPECT_EQ(style->fontFiles[0], Utf8ToSystemPath("/fonts/b.ttf"));
  EXPECT_EQ(style->fontFiles[1], Utf8ToSystemPath("fonts/a.otf"));
  EXPECT_NE(style->fontFiles[0].find("b.ttf"), std::string::npos);

  const std::string bad = "/fonts/\xF0\x9F\x98\x80.ttf";
  settings.all["font-file"] = std::vector<std::string>{"/fonts/b.ttf", bad};
  EXPECT_FALSE(BuildStyleOf(settings, error).has_value());
  EXPECT_EQ(error, "the path " + bad + " holds characters this system cannot use in file names");
}

}  // namespace
}  // namespace qzf
