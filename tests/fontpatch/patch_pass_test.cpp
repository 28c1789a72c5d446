#include "fontpatch/patch_pass.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fontpatch/pass_messages.h"
#include "tests/fontpatch/scripted_glyphs.h"
#include "tests/support/dictionary_text.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

using test::Script;
using test::ScriptedGlyph;

class RecordingReporter final : public PassReporter {
 public:
  void Message(std::string_view gbk) override { messages += gbk; }
  void GlyphRendered(std::uint32_t position, std::uint32_t) override { positions.push_back(position); }
  std::string messages;
  std::vector<std::uint32_t> positions;
};

// The code at position i of the test image: distinct, two non-zero bytes.
std::uint16_t TestCode(std::uint32_t i) { return static_cast<std::uint16_t>((0x88 + i / 150) * 256 + 0x40 + i % 150); }

// A valid image: count, code table, every glyph byte 0x5A so that changes show.
const std::string& BaseImage() {
  static const std::string image = [] {
    std::string bytes(kFontFileLength, '\x5A');
    const std::uint32_t count = kIndexedGlyphCount;
    std::memcpy(bytes.data(), &count, 4);
    for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
      const std::uint16_t code = TestCode(i);
      bytes[4 + 2 * i] = static_cast<char>(code & 0xFF);
      bytes[4 + 2 * i + 1] = static_cast<char>(code >> 8);
    }
    return bytes;
  }();
  return image;
}

std::string Key(std::uint16_t code) { return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }

struct Entry {
  std::string eng, chi;
};

// A dictionary text as the saver writes it; entries must be in ENG order.
std::string DictionaryText(const std::vector<Entry>& entries) {
  std::string text = "banner\r\n\r\n\r\n";
  for (size_t i = 0; i < entries.size(); ++i) text += test::DictionaryBlock(i, entries[i].eng, entries[i].chi);
  return text + test::kDictionaryTrailer;
}

// Puts a directory where the font file was, once the pass has read it.
const std::string* blockedPath = nullptr;
HDC WINAPI DcThenBlockTheFile(HDC) {
  DeleteFileA(blockedPath->c_str());
  CreateDirectoryA(blockedPath->c_str(), nullptr);
  static char context;
  return reinterpret_cast<HDC>(&context);
}

class PatchPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Script() = test::GlyphScript{};
    fontPath = dir.File("F_FONTJ.qzf");
    dictPath = dir.File("DATA1");
    test::WriteBytes(fontPath, BaseImage());
  }

  PatchPassResult Run(GlyphSizeMode mode, const std::vector<Entry>& entries) {
    test::WriteBytes(dictPath, DictionaryText(entries));
    return RunAgain(mode);
  }
  PatchPassResult RunStyled(GlyphSizeMode mode, const std::vector<Entry>& entries, const GlyphStyle& style,
                            std::vector<RenderFace> fallbacks = {}, int charSet = GB2312_CHARSET) {
    test::WriteBytes(dictPath, DictionaryText(entries));
    PatchPassOptions options;
    options.ops = &test::ScriptedOps();
    options.reporter = &reporter;
    options.style = &style;
    options.fallbackFaces = std::move(fallbacks);
    options.faceCharSet = charSet;
    return RunPatchPass(mode, LookUpSizeMode(mode)->fontHeight, "Scripted", fontPath.c_str(), dictPath.c_str(),
                        options);
  }
  PatchPassResult RunAgain(GlyphSizeMode mode) {
    PatchPassOptions options;
    options.ops = &test::ScriptedOps();
    options.reporter = &reporter;
    const GlyphSizeInfo* size = LookUpSizeMode(mode);
    return RunPatchPass(mode, size ? size->fontHeight : 20, "Scripted", fontPath.c_str(), dictPath.c_str(), options);
  }
  std::string Cell(const std::string& image, GlyphSizeMode mode, std::uint32_t cell) {
    const GlyphSizeInfo& size = *LookUpSizeMode(mode);
    return image.substr(CellOffset(size, cell), size.bytesPerCell);
  }

  test::ScratchDir dir;
  std::string fontPath;
  std::string dictPath;
  RecordingReporter reporter;
};

constexpr unsigned kHanzi = 0xB0A1;  // the GBK character used as CHI
const std::string kChi = "\xB0\xA1";

TEST_F(PatchPassTest, WorkedExampleOfTheSmallSize) {
  Script().ascent = 17;
  Script().glyphs[kHanzi] = ScriptedGlyph{3, 2, 1, 15, {16, 8, 0, 0, 4, 0, 2, 0}};
  const PatchPassResult result = Run(1, {{Key(TestCode(0)), kChi}});
  ASSERT_EQ(result.status, PatchPassStatus::kOk);
  EXPECT_EQ(result.cellsRewritten, 1u);
  std::string expected(200, '\0');
  expected[20] = '\x8F';
  expected[30] = '\x04';
  expected[31] = '\x02';
  EXPECT_EQ(Cell(test::ReadBytes(fontPath), 1, 0), expected);
  EXPECT_EQ(Script().fontHeightAsked, 20);
  EXPECT_EQ(Script().faceAsked, "Scripted");
  EXPECT_EQ(Script().charactersAsked, std::vector<unsigned>{kHanzi});
  EXPECT_EQ(reporter.messages, "\r\nok!!!\r\n\r\n");
  EXPECT_EQ(reporter.positions, std::vector<std::uint32_t>{0});
}

TEST_F(PatchPassTest, OriginXIsHalvedTowardZero) {
  // One bitmap row of four full-ink pixels at cell row 0, for several ox.
  const std::vector<std::pair<std::int32_t, std::uint32_t>> cases = {{3, 1}, {2, 1}, {0, 0}, {-1, 0}};
  for (const auto& [ox, column] : cases) {
    SetUp();
    Script().ascent = 10;
    Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, ox, 10, {16, 16, 16, 16}};
    ASSERT_EQ(Run(2, {{Key(TestCode(5)), kChi}}).status, PatchPassStatus::kOk);
    std::string expected(288, '\0');
    expected[column] = '\xFF';
    expected[column + 1] = '\xFF';
    EXPECT_EQ(Cell(test::ReadBytes(fontPath), 2, 5), expected) << "ox " << ox;
  }
  // ox = -3 puts the first pixel pair left of the cell: it is dropped.
  SetUp();
  Script().ascent = 10;
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, -3, 10, {1, 2, 3, 4}};
  ASSERT_EQ(Run(2, {{Key(TestCode(5)), kChi}}).status, PatchPassStatus::kOk);
  std::string expected(288, '\0');
  expected[0] = '\x43';
  EXPECT_EQ(Cell(test::ReadBytes(fontPath), 2, 5), expected);
}

TEST_F(PatchPassTest, LevelsArePackedLowNibbleLeftAndSixteenBecomesFifteen) {
  Script().ascent = 0;
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, 0, 0, {3, 12, 16, 0}};
  ASSERT_EQ(Run(3, {{Key(TestCode(7831)), kChi}}).status, PatchPassStatus::kOk);
  const std::string cell = Cell(test::ReadBytes(fontPath), 3, 7831);
  EXPECT_EQ(cell.substr(0, 2), "\xC3\x0F");
  EXPECT_EQ(cell.find_first_not_of('\0', 2), std::string::npos);
}

TEST_F(PatchPassTest, AnEmptyGlyphLeavesAZeroCell) {
  Script().glyphs[kHanzi] = ScriptedGlyph{1, 1, 0, 0, {}};
  ASSERT_EQ(Run(1, {{Key(TestCode(3)), kChi}}).status, PatchPassStatus::kOk);
  EXPECT_EQ(Cell(test::ReadBytes(fontPath), 1, 3), std::string(200, '\0'));
}

TEST_F(PatchPassTest, AGlyphLargerThanItsCellTouchesNothingElse) {
  // 40 x 40 pixels of full ink placed up and left of a 20-pixel cell.
  ScriptedGlyph big{40, 40, -10, 30, std::vector<unsigned char>(40 * 40, 16)};
  Script().ascent = 17;
  Script().glyphs[kHanzi] = big;
  ASSERT_EQ(Run(1, {{Key(TestCode(100)), kChi}}).status, PatchPassStatus::kOk);
  const std::string after = test::ReadBytes(fontPath);
  const GlyphSizeInfo& size = *LookUpSizeMode(1);
  const std::uint64_t begin = CellOffset(size, 100);
  ASSERT_EQ(after.size(), BaseImage().size());
  EXPECT_EQ(after.compare(0, begin, BaseImage(), 0, begin), 0);
  const std::uint64_t end = begin + size.bytesPerCell;
  EXPECT_EQ(after.compare(end, std::string::npos, BaseImage(), end, std::string::npos), 0);
  EXPECT_EQ(Cell(after, 1, 100), std::string(200, '\xFF'));
}

TEST_F(PatchPassTest, ABitmapShorterThanItsMetricsSayIsNotOverread) {
  // Claims 8 rows but brings one: only that row may be used.
  Script().ascent = 4;
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 8, 0, 4, {5, 5, 5, 5}};
  ASSERT_EQ(Run(1, {{Key(TestCode(1)), kChi}}).status, PatchPassStatus::kOk);
  std::string expected(200, '\0');
  expected[0] = '\x55';
  expected[1] = '\x55';
  EXPECT_EQ(Cell(test::ReadBytes(fontPath), 1, 1), expected);
}

TEST_F(PatchPassTest, OnlyTheCellsWithARenderableEntryChange) {
  Script().ascent = 0;
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, 0, 0, {9, 9, 9, 9}};
  Script().glyphs[0xB0A2] = ScriptedGlyph{4, 1, 0, 0, {1, 1, 1, 1}, /*error=*/true};
  const PatchPassResult result = Run(2, {
                                            {Key(TestCode(10)), kChi + "\xB0\xA3\xB0\xA4"},  // first character only
                                            {Key(TestCode(11)), "!!!NO_change!!!"},
                                            {Key(TestCode(12)), "\xB0\xA2"},  // glyph query fails
                                            {Key(TestCode(13)), "x"},         // too short for a character
                                        });
  ASSERT_EQ(result.status, PatchPassStatus::kOk);
  EXPECT_EQ(result.cellsRewritten, 1u);
  EXPECT_EQ(result.glyphErrors, 1u);
  EXPECT_EQ(result.cellsKept, kIndexedGlyphCount - 2);
  const std::string after = test::ReadBytes(fontPath);
  EXPECT_EQ(Cell(after, 2, 10).substr(0, 2), "\x99\x99");
  for (std::uint32_t cell : {11u, 12u, 13u, 14u}) EXPECT_EQ(Cell(after, 2, cell), std::string(288, '\x5A'));
  EXPECT_EQ(Script().charactersAsked, (std::vector<unsigned>{kHanzi, 0xB0A2}));
  EXPECT_EQ(reporter.positions, std::vector<std::uint32_t>{10});
}

TEST_F(PatchPassTest, ACodeAtTwoPositionsIsRenderedAtBoth) {
  std::string image = BaseImage();
  image[4 + 2 * 439] = image[4 + 2 * 13];
  image[4 + 2 * 439 + 1] = image[4 + 2 * 13 + 1];
  test::WriteBytes(fontPath, image);
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, 0, 0, {9, 9, 9, 9}};
  const PatchPassResult result = Run(1, {{Key(TestCode(13)), kChi}});
  EXPECT_EQ(result.cellsRewritten, 2u);
  EXPECT_EQ(reporter.positions, (std::vector<std::uint32_t>{13, 439}));
}

TEST_F(PatchPassTest, APassChangesNothingOutsideItsTable) {
  std::string image = BaseImage() + "tail bytes";
  test::WriteBytes(fontPath, image);
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 4, 0, 0, std::vector<unsigned char>(16, 7)};
  std::vector<Entry> entries;
  for (std::uint32_t i = 0; i < 50; ++i) entries.push_back({Key(TestCode(i * 150)), kChi});
  ASSERT_EQ(Run(2, entries).status, PatchPassStatus::kOk);
  const std::string after = test::ReadBytes(fontPath);
  ASSERT_EQ(after.size(), image.size());
  const GlyphSizeInfo& size = *LookUpSizeMode(2);
  const std::uint64_t begin = size.tableOffset;
  const std::uint64_t end = begin + std::uint64_t{kIndexedGlyphCount} * size.bytesPerCell;
  EXPECT_EQ(after.compare(0, begin, image, 0, begin), 0);
  EXPECT_EQ(after.compare(end, std::string::npos, image, end, std::string::npos), 0);
  EXPECT_EQ(after.substr(after.size() - 10), "tail bytes");
}

TEST_F(PatchPassTest, InvalidModesTouchNoFile) {
  for (GlyphSizeMode mode : {0, 4, -1}) {
    reporter.messages.clear();
    DeleteFileA(fontPath.c_str());
    EXPECT_EQ(Run(mode, {}).status, PatchPassStatus::kInvalidMode);
    EXPECT_EQ(reporter.messages, pass_text::kInvalidMode);
    EXPECT_FALSE(test::Exists(fontPath));
  }
  EXPECT_EQ(Script().fontsCreated, 0);
}

TEST_F(PatchPassTest, RefusedFontFilesAreLeftUntouched) {
  std::string shortImage = BaseImage().substr(0, kFontFileLength - 1);
  std::string miscounted = BaseImage();
  miscounted[0] = static_cast<char>(0x97);  // 7831
  std::string overcounted = BaseImage();
  overcounted[0] = static_cast<char>(0x99);  // 7833
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, 0, 0, {9, 9, 9, 9}};
  for (const std::string* image : {&shortImage, &miscounted, &overcounted}) {
    reporter.messages.clear();
    test::WriteBytes(fontPath, *image);
    EXPECT_EQ(Run(1, {{Key(TestCode(0)), kChi}}).status, PatchPassStatus::kInvalidFontFile);
    EXPECT_EQ(reporter.messages, pass_text::kInvalidFontFile);
    EXPECT_TRUE(test::ReadBytes(fontPath) == *image);
  }
  DeleteFileA(fontPath.c_str());
  EXPECT_EQ(RunAgain(1).status, PatchPassStatus::kInvalidFontFile);
  EXPECT_FALSE(test::Exists(fontPath));
}

TEST_F(PatchPassTest, ADictionaryThatLoadsNothingIsAFailure) {
  DeleteFileA(dictPath.c_str());
  EXPECT_EQ(RunAgain(1).status, PatchPassStatus::kDictionaryNotLoaded);
  EXPECT_EQ(reporter.messages, pass_text::kDictionaryFailed);
  test::WriteBytes(dictPath, "no markers here");
  EXPECT_EQ(RunAgain(1).status, PatchPassStatus::kDictionaryNotLoaded);
  EXPECT_TRUE(test::ReadBytes(fontPath) == BaseImage());
  EXPECT_EQ(Script().fontsCreated, 0);
}

TEST_F(PatchPassTest, FontAndContextFailuresKeepTheFileAndReleaseWhatWasMade) {
  Script().failCreateFont = true;
  EXPECT_EQ(Run(1, {{Key(TestCode(0)), kChi}}).status, PatchPassStatus::kFontCreationFailed);
  EXPECT_EQ(reporter.messages, pass_text::kFontCreationFailed);
  Script().failCreateFont = false;
  Script().failCreateDc = true;
  reporter.messages.clear();
  EXPECT_EQ(RunAgain(1).status, PatchPassStatus::kMemoryDcFailed);
  EXPECT_EQ(reporter.messages, pass_text::kMemoryDcFailed);
  EXPECT_EQ(Script().fontsCreated, Script().fontsDeleted);
  EXPECT_TRUE(test::ReadBytes(fontPath) == BaseImage());
}

TEST_F(PatchPassTest, TheFontAndContextAreReleasedAndTheFaceMatchReported) {
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, 0, 0, {9, 9, 9, 9}, false, /*missing=*/true};
  Script().faceFound = "scripted";  // case does not matter
  PatchPassResult result = Run(1, {{Key(TestCode(0)), kChi}});
  EXPECT_TRUE(result.exactFace);
  EXPECT_EQ(result.missingGlyphs, 1u);
  EXPECT_EQ(Script().fontsCreated, 1);
  EXPECT_EQ(Script().fontsDeleted, 1);
  EXPECT_EQ(Script().contextsDeleted, 1);
  Script().faceFound = "Other Face";
  result = RunAgain(1);
  EXPECT_FALSE(result.exactFace);
}

TEST_F(PatchPassTest, AFontPathTooLongIsRefusedBeforeReading) {
  const std::string longPath = dir.File(std::string(270, 'p'));
  PatchPassOptions options;
  options.ops = &test::ScriptedOps();
  options.reporter = &reporter;
  EXPECT_EQ(RunPatchPass(1, 20, "Scripted", longPath.c_str(), dictPath.c_str(), options).status,
            PatchPassStatus::kPathTooLong);
  EXPECT_EQ(reporter.messages, pass_text::kPathTooLong);
}

TEST_F(PatchPassTest, AFailedWriteBackIsReported) {
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, 0, 0, {9, 9, 9, 9}};
  test::WriteBytes(dictPath, DictionaryText({{Key(TestCode(0)), kChi}}));
  // Reading succeeds through the file; the write-back meets a directory.
  blockedPath = &fontPath;
  GlyphRenderOps ops = test::ScriptedOps();
  ops.createCompatibleDcFn = &DcThenBlockTheFile;
  PatchPassOptions options;
  options.ops = &ops;
  options.reporter = &reporter;
  EXPECT_EQ(RunPatchPass(1, 20, "Scripted", fontPath.c_str(), dictPath.c_str(), options).status,
            PatchPassStatus::kWriteFailed);
  EXPECT_EQ(reporter.messages, pass_text::kWriteFailed);
}

// Passes that share one image, as a whole build runs them, must write exactly
// what passes with images of their own write, whatever the shared block held
// before and however long the file it last held was.
TEST_F(PatchPassTest, PassesSharingOneImageWriteWhatPassesOfTheirOwnWrite) {
  Script().ascent = 17;
  Script().glyphs[kHanzi] = ScriptedGlyph{6, 3, 1, 14, {16, 8, 4, 2, 1, 0, 0, 0, 3, 5, 7, 9, 11, 13, 15, 16}};
  Script().glyphs[0xB0A2] = ScriptedGlyph{2, 2, -3, 40, {15, 15, 0, 0, 15, 15, 0, 0}};
  test::WriteBytes(
      dictPath,
      DictionaryText({{Key(TestCode(0)), kChi}, {Key(TestCode(1)), "\xB0\xA2"}, {Key(TestCode(7831)), kChi}}));
  const std::string plainPath = dir.File("plain.qzf");
  const std::string longerPath = dir.File("longer.qzf");
  test::WriteBytes(plainPath, BaseImage());
  test::WriteBytes(longerPath, BaseImage() + std::string(100, '\x77'));

  FontImage shared;
  ASSERT_TRUE(shared.PrepareForRead(kFontFileLength + 100));
  std::memset(shared.data(), 0xEE, kFontFileLength + 104);
  PatchPassOptions sharing;
  sharing.ops = &test::ScriptedOps();
  sharing.reporter = &reporter;
  sharing.image = &shared;
  PatchPassOptions own = sharing;
  own.image = nullptr;
  // The longer file first, so that the block is larger than the next file.
  ASSERT_EQ(RunPatchPass(1, 20, "Scripted", longerPath.c_str(), dictPath.c_str(), sharing).status,
            PatchPassStatus::kOk);
  for (GlyphSizeMode mode = 1; mode <= 3; ++mode) {
    const std::int32_t height = LookUpSizeMode(mode)->fontHeight;
    ASSERT_EQ(RunPatchPass(mode, height, "Scripted", fontPath.c_str(), dictPath.c_str(), sharing).status,
              PatchPassStatus::kOk);
    ASSERT_EQ(RunPatchPass(mode, height, "Scripted", plainPath.c_str(), dictPath.c_str(), own).status,
              PatchPassStatus::kOk);
  }
  const std::string shared3 = test::ReadBytes(fontPath);
  EXPECT_EQ(shared3.size(), kFontFileLength);
  EXPECT_TRUE(shared3 == test::ReadBytes(plainPath));
  EXPECT_NE(shared3, BaseImage());
  const std::string longer = test::ReadBytes(longerPath);
  EXPECT_EQ(longer.size(), kFontFileLength + 100);
  EXPECT_EQ(longer.substr(kFontFileLength), std::string(100, '\x77'));
}

// A 20-pixel cell as 20 rows of 20 levels, '.' for 0 and hex digits for ink.
std::vector<std::string> Picture(const std::string& cell) {
  std::vector<std::string> rows(20, std::string(20, '.'));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const int level = (static_cast<unsigned char>(cell[y * 10 + x / 2]) >> (x % 2 ? 4 : 0)) & 15;
      if (level) rows[y][x] = "0123456789ABCDEF"[level];
    }
  return rows;
}

TEST_F(PatchPassTest, StylePlacesTheGlyphByPixelAndCountsTheInkItCuts) {
  // One row of two pixels (levels 5 and 16) at the baseline, origin (2, 1).
  struct Case {
    const char* what;
    GlyphStyle style;
    int row, column;  // where the first pixel lands; -1: off the cell
    std::uint32_t cut;
  };
  auto styled = [](std::optional<int> baseline, int dx, int dy) {
    GlyphStyle style;
    style.baseline = baseline;
    style.shiftX = dx;
    style.shiftY = dy;
    return style;
  };
  const std::vector<Case> cases = {
      {"default: baseline at the ascent", GlyphStyle{}, 16, 2, 0},
      {"baseline row given", styled(5, 0, 0), 4, 2, 0},
      {"odd shift right splits the pixel pairs", styled(std::nullopt, 3, 0), 16, 5, 0},
      {"even shift left", styled(std::nullopt, -2, 0), 16, 0, 0},
      {"shift down", styled(std::nullopt, 0, 2), 18, 2, 0},
      {"one pixel past the right edge", styled(std::nullopt, 17, 0), 16, 19, 1},
      {"below the cell", styled(19, 0, 5), -1, -1, 2},
      {"left of the cell by one", styled(std::nullopt, -3, 0), 16, -1, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    Script().ascent = 17;
    Script().glyphs[kHanzi] = ScriptedGlyph{2, 1, 2, 1, {5, 16, 0, 0}};
    const PatchPassResult result = RunStyled(1, {{Key(TestCode(9)), kChi}}, c.style);
    ASSERT_EQ(result.status, PatchPassStatus::kOk) << c.what;
    std::vector<std::string> expected(20, std::string(20, '.'));
    if (c.row >= 0) {
      if (c.column >= 0 && c.column < 20) expected[c.row][c.column] = '5';
      if (c.column + 1 >= 0 && c.column + 1 < 20) expected[c.row][c.column + 1] = 'F';
    }
    EXPECT_EQ(Picture(Cell(test::ReadBytes(fontPath), 1, 9)), expected) << c.what;
    ASSERT_EQ(result.cutInk.size(), c.cut > 0 ? 1u : 0u) << c.what;
    if (c.cut) {
      EXPECT_EQ(result.cutInk[0].pixels, c.cut) << c.what;
      EXPECT_EQ(result.cutInk[0].position, 9u);
      EXPECT_EQ(result.cutInk[0].code, TestCode(9));
      EXPECT_EQ(result.cutInk[0].character, kHanzi);
    }
  }
}

TEST_F(PatchPassTest, StyleAsksForTheFontItNames) {
  GlyphStyle style;
  style.emHeight = 18;
  style.weight = 700;
  style.italic = true;
  Script().glyphs[kHanzi] = ScriptedGlyph{1, 1, 0, 0, {16, 0, 0, 0}};
  ASSERT_EQ(RunStyled(1, {{Key(TestCode(1)), kChi}}, style).status, PatchPassStatus::kOk);
  EXPECT_EQ(Script().fontHeightAsked, -18);
  EXPECT_EQ(Script().weightAsked, 700);
  EXPECT_TRUE(Script().italicAsked);
  EXPECT_EQ(Script().formatsAsked, std::vector<unsigned>{GGO_GRAY4_BITMAP});
}

TEST_F(PatchPassTest, MonoGlyphsComeFromOneBitBitmapsAsFullInk) {
  GlyphStyle style;
  style.mono = true;
  style.baseline = 1;
  // 9 pixels wide: the bits 1010 0000 1 of row 0 and 0000 0000 1 of row 1,
  // each row a 32-bit word, high bit left.
  ScriptedGlyph glyph{9, 2, 0, 1, {1, 2, 3, 4}};
  glyph.bits = {0xA0, 0x80, 0, 0, 0x00, 0x80, 0, 0};
  Script().glyphs[kHanzi] = glyph;
  ASSERT_EQ(RunStyled(1, {{Key(TestCode(2)), kChi}}, style).status, PatchPassStatus::kOk);
  std::vector<std::string> expected(20, std::string(20, '.'));
  expected[0] = "F.F.....F...........";
  expected[1] = "........F...........";
  EXPECT_EQ(Picture(Cell(test::ReadBytes(fontPath), 1, 2)), expected);
  EXPECT_EQ(Script().formatsAsked, std::vector<unsigned>{GGO_BITMAP});
}

TEST(GammaLevelsTest, TheCurveKeepsItsEndsAndBendsTheMiddle) {
  struct Case {
    double gamma;
    std::array<std::uint8_t, 17> levels;
  };
  const std::vector<Case> cases = {
      {1.0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 15}},
      // 15 * (l / 15) ^ (1 / 2), rounded half up: darker edges.
      {2.0, {0, 4, 5, 7, 8, 9, 9, 10, 11, 12, 12, 13, 13, 14, 14, 15, 15}},
      // 15 * (l / 15) ^ 2: lighter edges.
      {0.5, {0, 0, 0, 1, 1, 2, 2, 3, 4, 5, 7, 8, 10, 11, 13, 15, 15}},
  };
  for (const Case& c : cases) EXPECT_EQ(GammaLevels(c.gamma), c.levels) << "gamma " << c.gamma;
}

TEST_F(PatchPassTest, GammaAppliesToEveryLevelOfTheGlyph) {
  GlyphStyle style;
  style.gamma = 2.0;
  style.baseline = 1;
  Script().glyphs[kHanzi] = ScriptedGlyph{4, 1, 0, 1, {1, 4, 9, 16}};
  ASSERT_EQ(RunStyled(1, {{Key(TestCode(4)), kChi}}, style).status, PatchPassStatus::kOk);
  EXPECT_EQ(Picture(Cell(test::ReadBytes(fontPath), 1, 4))[0], "48CF................");
}

TEST_F(PatchPassTest, FallbackFacesDrawWhatTheFaceCannotInOrder) {
  constexpr unsigned kA = 0xB0A1, kB = 0xB0A2, kC = 0xB0A3;
  ScriptedGlyph none{1, 1, 0, 1, {1, 0, 0, 0}};
  none.missing = true;  // the face's missing-glyph box
  Script().ascent = 1;
  Script().glyphs = {{kA, ScriptedGlyph{1, 1, 0, 1, {3, 0, 0, 0}}}, {kB, none}, {kC, none}};
  Script().otherFaces["First"] = {{kB, ScriptedGlyph{1, 1, 0, 1, {7, 0, 0, 0}}}, {kC, none}};
  Script().otherFaces["Second"] = {{kB, ScriptedGlyph{1, 1, 0, 1, {9, 0, 0, 0}}}};
  const PatchPassResult result =
      RunStyled(1, {{Key(TestCode(0)), "\xB0\xA1"}, {Key(TestCode(1)), "\xB0\xA2"}, {Key(TestCode(2)), "\xB0\xA3"}},
                GlyphStyle{}, {RenderFace{"First"}, RenderFace{"Second"}});
  ASSERT_EQ(result.status, PatchPassStatus::kOk);
  const std::string after = test::ReadBytes(fontPath);
  EXPECT_EQ(Picture(Cell(after, 1, 0))[0][0], '3');  // the face has it
  EXPECT_EQ(Picture(Cell(after, 1, 1))[0][0], '7');  // the first fallback that has it
  EXPECT_EQ(Picture(Cell(after, 1, 2))[0][0], '1');  // nobody has it: the face's box
  EXPECT_EQ(result.drawnByFace, (std::vector<std::uint32_t>{1, 1, 0}));
  ASSERT_EQ(result.missing.size(), 1u);
  EXPECT_EQ(result.missing[0].character, kC);
  EXPECT_EQ(result.missingGlyphs, 1u);
}

TEST_F(PatchPassTest, AFaceUnderAnotherCharacterSetIsDrawnByUnicodeGlyphIndex) {
  // 啊 is GBK B0A1 and U+554A; the face, asked for under Shift-JIS, has it
  // at glyph 0x554A. A GBK code handed to it would be read as Shift-JIS.
  Script().ascent = 1;
  Script().glyphsByIndex[0x554A] = ScriptedGlyph{1, 1, 0, 1, {9, 0, 0, 0}};
  const PatchPassResult result = RunStyled(1, {{Key(TestCode(6)), kChi}}, GlyphStyle{}, {}, SHIFTJIS_CHARSET);
  ASSERT_EQ(result.status, PatchPassStatus::kOk);
  EXPECT_EQ(Picture(Cell(test::ReadBytes(fontPath), 1, 6))[0][0], '9');
  EXPECT_EQ(Script().charactersAsked, std::vector<unsigned>{0x554A});
  EXPECT_EQ(Script().formatsAsked, std::vector<unsigned>{GGO_GRAY4_BITMAP | GGO_GLYPH_INDEX});
  EXPECT_EQ(Script().charSetAsked, SHIFTJIS_CHARSET);
  EXPECT_TRUE(result.missing.empty());
}

}  // namespace
}  // namespace qzf
