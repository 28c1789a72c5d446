// The build's stages one at a time: the pass styles and the passes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fontbuild/pass_runs.h"
#include "fontbuild/pass_styles.h"
#include "tests/fontpatch/scripted_glyphs.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

class CountingObserver final : public FontBuildObserver {
 public:
  void PassStarted(std::size_t index, const GlyphSizeInfo&) override { started.push_back(index); }
  void Message(std::string_view) override {}
  void GlyphRendered(std::uint32_t, std::uint32_t) override {}
  std::vector<std::size_t> started;
};

// Without measuring, each pass draws in the style as given, whatever the
// style asks for: nothing is measured, and the fits report the given sizes.
TEST(BuildStagesTest, UnmeasuredPassStylesAreTheStyleAsGiven) {
  BuildStyle style;
  style.fit = true;
  style.align = GlyphAlign::kCenter;
  for (std::size_t i = 0; i < style.sizes.size(); ++i) {
    style.sizes[i].emHeight = static_cast<std::int32_t>(18 + i);
    style.sizes[i].shiftX = static_cast<std::int32_t>(i) - 1;
    style.sizes[i].shiftY = 2;
  }
  int measured = 0;
  const PassStyles resolved = ResolvePassStyles(style, nullptr, [&](const GlyphSizeInfo&) { ++measured; });
  EXPECT_EQ(measured, 0);
  EXPECT_TRUE(StyleMeasures(style));
  EXPECT_FALSE(StyleMeasures(BuildStyle{}));
  for (std::size_t i = 0; i < style.sizes.size(); ++i) {
    EXPECT_TRUE(resolved.styles[i] == style.sizes[i]) << i;
    EXPECT_EQ(resolved.fits[i].emHeight, style.sizes[i].emHeight) << i;
    EXPECT_EQ(resolved.fits[i].alignX, 0) << i;
    EXPECT_EQ(resolved.fits[i].alignY, 0) << i;
  }
}

// The checked build stops at the first pass that fails; the window's way
// runs every pass whatever the one before it did.
TEST(BuildStagesTest, PassesStopAtTheFirstFailureOnlyWhenAskedTo) {
  test::Script() = test::GlyphScript{};
  test::ScratchDir dir;
  const std::string missing = dir.File("no-font.qzf");
  for (const bool stop : {true, false}) {
    CountingObserver observer;
    PassRunRequest request;
    request.faceName = "Scripted";
    request.workPath = missing.c_str();
    request.options.ops = &test::ScriptedOps();
    request.stopAtFirstFailure = stop;
    std::array<FontBuildPass, SizeModeTable.size()> passes{};
    for (std::size_t i = 0; i < passes.size(); ++i) {
      passes[i].mode = SizeModeTable[i].mode;
      passes[i].fontHeight = SizeModeTable[i].fontHeight;
    }
    const auto failed = RunPasses(request, observer, passes);
    ASSERT_TRUE(failed.has_value()) << stop;
    EXPECT_EQ(*failed, 0u) << stop;
    const std::vector<std::size_t> expected = stop ? std::vector<std::size_t>{0} : std::vector<std::size_t>{0, 1, 2};
    EXPECT_EQ(observer.started, expected) << stop;
    for (std::size_t i = 0; i < observer.started.size(); ++i)
      EXPECT_EQ(passes[i].result.status, PatchPassStatus::kInvalidFontFile) << stop << " " << i;
  }
}

}  // namespace
}  // namespace qzf
