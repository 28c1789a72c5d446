#include "studio/output_name.h"

#include <gtest/gtest.h>

namespace qzf::studio {
namespace {

TEST(OutputNameTest, PlainNamesPassAndEverythingThatLeavesTheFolderOrMisleadsWindowsIsRefused) {
  struct Case {
    const char* name;
    bool accepted;
  };
  const Case cases[] = {
      {"F_FONTJ.qzf", true},
      {"我的字体.qzf", true},
      {"font v2.qzf", true},
      {"console.qzf", true},  // only the device names themselves are devices
      {"com10.qzf", true},
      {"", false},
      {".", false},
      {"..", false},
      {"../F_FONTJ.qzf", false},
      {"a..b.qzf", false},
      {"sub/F_FONTJ.qzf", false},
      {"sub\\F_FONTJ.qzf", false},
      {"/etc/passwd", false},
      {"C:F_FONTJ.qzf", false},
      {"F_FONTJ.qzf:stream", false},
      {"CON", false},
      {"con.qzf", false},
      {"Nul.tar.qzf", false},
      {"AUX .qzf", false},
      {"COM1.qzf", false},
      {"lpt9.qzf", false},
      {"CONIN$.qzf", false},
      {"F_FONTJ.qzf.", false},
      {"F_FONTJ.qzf ", false},
      {" F_FONTJ.qzf", false},
      {"a\tb.qzf", false},
      {"a*.qzf", false},
      {"a\"b.qzf", false},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckOutputName(c.name).empty(), c.accepted) << "'" << c.name << "'";
  EXPECT_FALSE(CheckOutputName(std::string(121, 'a')).empty());
  EXPECT_TRUE(CheckOutputName(std::string(116, 'a') + ".qzf").empty());
}

TEST(OutputNameTest, ExtensionsCompareWithoutCaseAndNeedAName) {
  EXPECT_TRUE(HasExtension("F_FONTJ.QZF", ".qzf"));
  EXPECT_TRUE(HasExtension("style.Toml", ".toml"));
  EXPECT_FALSE(HasExtension(".qzf", ".qzf"));
  EXPECT_FALSE(HasExtension("F_FONTJ.qzf.exe", ".qzf"));
}

}  // namespace
}  // namespace qzf::studio
