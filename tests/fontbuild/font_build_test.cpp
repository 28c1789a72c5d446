#include "fontbuild/font_build.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/fontpatch/scripted_glyphs.h"
#include "tests/support/dictionary_text.h"
#include "tests/support/file_bytes.h"
#include "tests/support/other_process.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

class SilentObserver final : public FontBuildObserver {
 public:
  void PassStarted(std::size_t, const GlyphSizeInfo&) override {}
  void Message(std::string_view) override {}
  void GlyphRendered(std::uint32_t, std::uint32_t) override {}
};

std::string Word(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

class FontBuildTest : public ::testing::Test {
 protected:
  void SetUp() override { test::Script() = test::GlyphScript{}; }

  FontBuildRequest Request() const {
    FontBuildRequest request;
    request.faceName = "Scripted";
    request.outputPath = dir.File("out.qzf");
    request.ops = &test::ScriptedOps();
    return request;
  }

  test::ScratchDir dir;
  SilentObserver observer;
};

// A base that is refused is described by its own length and glyph count,
// whichever of the two is wrong.
TEST_F(FontBuildTest, ARefusedBaseIsDescribedByItsOwnLengthAndCount) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* detail;
  };
  const Case cases[] = {
      {"one byte short", Word(kIndexedGlyphCount) + std::string(kFontFileLength - 5, '\0'),
       "20113467 bytes, glyph count 7832;"},
      {"only the count", Word(kIndexedGlyphCount), "4 bytes, glyph count 7832;"},
      {"miscounted", Word(7831) + std::string(kFontFileLength - 4, '\0'), "20113468 bytes, glyph count 7831;"},
      {"too short for a count", "ab", "2 bytes, glyph count 0;"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(dir.File("base.qzf"), c.bytes);
    FontBuildRequest request = Request();
    request.basePath = dir.File("base.qzf");
    const FontBuildResult result = BuildFont(request, observer);
    EXPECT_EQ(result.status, FontBuildStatus::kBaseRefused) << c.name;
    EXPECT_EQ(result.detail.rfind(c.detail, 0), 0u) << c.name << ": " << result.detail;
    EXPECT_FALSE(test::Exists(request.outputPath)) << c.name;
  }
}

// A build removes what builds of the same output left when they were killed
// (their process has ended), and leaves the files of a build still running.
// The window's build in place names no temporary files after its output and
// leaves such files alone.
TEST_F(FontBuildTest, ABuildRemovesLeftoversOfItsOutputWhoseProcessEnded) {
  test::WriteBytes(dir.File("base.qzf"), Word(kIndexedGlyphCount) + std::string(kFontFileLength - 4, '\0'));
  test::WriteBytes(dir.File("dict.txt"),
                   "banner\r\n\r\n\r\n" + test::DictionaryBlock(0, "\x81\x40", "\xB0\xA1") + test::kDictionaryTrailer);
  const test::RunningProcess running;
  const std::string ended = std::to_string(test::EndedProcessId());
  const std::string leftovers[] = {"out.qzf.font-" + ended + ".tmp", "out.qzf.dict-" + ended + ".tmp"};
  const std::string kept = "out.qzf.font-" + std::to_string(running.id()) + ".tmp";
  for (const FontWorkFile work : {FontWorkFile::kInPlace, FontWorkFile::kTemporaryThenRename}) {
    for (const std::string& name : {leftovers[0], leftovers[1], kept}) test::WriteBytes(dir.File(name), "left");
    FontBuildRequest request = Request();
    request.basePath = dir.File("base.qzf");
    request.dictionaryPath = dir.File("dict.txt");
    request.policy.workFile = work;
    ASSERT_EQ(BuildFont(request, observer).status, FontBuildStatus::kOk);
    const bool swept = work == FontWorkFile::kTemporaryThenRename;
    for (const std::string& name : leftovers) EXPECT_EQ(test::Exists(dir.File(name)), !swept) << name;
    EXPECT_TRUE(test::Exists(dir.File(kept)));
  }
}

// The last stage apart: a finished build leaves the output as it was until
// its font is committed, and one never committed leaves nothing behind.
TEST_F(FontBuildTest, TheOutputChangesOnlyWhenTheFontIsCommitted) {
  const std::string stock = Word(kIndexedGlyphCount) + std::string(kFontFileLength - 4, '\0');
  test::WriteBytes(dir.File("base.qzf"), stock);
  test::WriteBytes(dir.File("dict.txt"),
                   "banner\r\n\r\n\r\n" + test::DictionaryBlock(0, "\x81\x40", "\xB0\xA1") + test::kDictionaryTrailer);
  FontBuildRequest request = Request();
  request.basePath = dir.File("base.qzf");
  request.dictionaryPath = dir.File("dict.txt");
  for (const bool commit : {false, true}) {
    test::WriteBytes(request.outputPath, "the earlier output");
    {
      UncommittedFont font;
      ASSERT_EQ(BuildFontUncommitted(request, observer, font).status, FontBuildStatus::kOk);
      EXPECT_EQ(test::ReadBytes(request.outputPath), "the earlier output");
      if (commit) {
        ASSERT_TRUE(font.Commit());
      }
    }
    const std::string after = test::ReadBytes(request.outputPath);
    if (commit) {
      EXPECT_EQ(after.size(), stock.size());
    } else {
      EXPECT_EQ(after, "the earlier output");
    }
    EXPECT_EQ(test::NamesIn(dir.path()), (std::set<std::string>{"base.qzf", "dict.txt", "out.qzf"}));
  }
}

}  // namespace
}  // namespace qzf
