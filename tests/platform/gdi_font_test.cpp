// The font calls of the glyph rewrite pass, as the pass makes them. The same
// tests run against the native stand-ins and, in the Windows build, against
// GDI itself, so they check only what both give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/portable/installed_faces.h"
#include "platform/portable/selected_face.h"
#include "platform/portable/selected_font.h"
#include "platform/win32.h"

namespace qzf {
namespace {

constexpr char kNoto[] = "Noto Sans CJK SC";
constexpr char kWenQuanYi[] = "WenQuanYi Micro Hei";
constexpr char kWenQuanYiChinese[] = "\xCE\xC4\xC8\xAA\xE6\xE4\xCE\xA2\xC3\xD7\xBA\xDA";  // 文泉驿微米黑
constexpr UINT kGuo = 0xB9FA;                                                             // 国
constexpr UINT kYong = 0xD3C0;                                                            // 永
constexpr UINT kIdeographicSpace = 0xA1A1;
constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

FontRequest Request(int height, int weight = FW_NORMAL, bool italic = false) {
  FontRequest request;
  request.height = height;
  request.weight = weight;
  request.italic = italic;
  return request;
}

// A font made as the pass makes it, selected into a memory context.
class PassFont {
 public:
  PassFont(const char* face, int height) : font_(face, Request(height)) {}
  PassFont(const char* face, const FontRequest& request) : font_(face, request) {}

  bool ok() const { return font_.dc() != nullptr; }
  HDC dc() const { return font_.dc(); }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA tm = {};
    EXPECT_TRUE(GetTextMetricsA(font_.dc(), &tm));
    return tm;
  }

 private:
  SelectedFont font_;
};

struct Glyph {
  DWORD queried = GDI_ERROR;
  DWORD fetched = GDI_ERROR;
  GLYPHMETRICS gm = {};
  std::vector<unsigned char> bits;
};

// The size query, then the fetch into a zeroed buffer of that size.
Glyph Fetch(HDC dc, UINT code, UINT format = GGO_GRAY4_BITMAP) {
  Glyph g;
  g.queried = GetGlyphOutlineA(dc, code, format, &g.gm, 0, nullptr, &kIdentity);
  if (g.queried == GDI_ERROR) return g;
  g.bits.assign(g.queried + 4, 0);
  g.fetched = GetGlyphOutlineA(dc, code, format, &g.gm, g.queried, g.bits.data(), &kIdentity);
  g.bits.resize(g.queried);
  return g;
}

// The ink of a glyph as levels 0..16, one a pixel, row by row: GGO_BITMAP
// rows are padded to four bytes with the leftmost pixel in the top bit,
// grey rows to four bytes with one byte a pixel.
std::vector<std::vector<unsigned>> Pixels(const Glyph& g, UINT format) {
  const UINT w = g.gm.gmBlackBoxX, h = g.gm.gmBlackBoxY;
  std::vector<std::vector<unsigned>> rows;
  if (g.queried == 0 || g.queried == GDI_ERROR) return rows;
  const UINT pitch = format == GGO_BITMAP ? (w + 31) / 32 * 4 : (w + 3) / 4 * 4;
  for (UINT y = 0; y < h; ++y) {
    std::vector<unsigned> row(w);
    for (UINT x = 0; x < w; ++x) {
      if (format == GGO_BITMAP) {
        row[x] = (g.bits[y * pitch + x / 8] >> (7 - x % 8)) & 1 ? 16 : 0;
      } else {
        row[x] = g.bits[y * pitch + x];
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

unsigned Ink(const Glyph& g, UINT format = GGO_GRAY4_BITMAP) {
  unsigned sum = 0;
  for (const auto& row : Pixels(g, format))
    for (unsigned v : row) sum += v;
  return sum;
}

// Skips the test when the face is not installed (GDI then substitutes).
#define REQUIRE_FACE(font, face)                                                              \
  do {                                                                                        \
    ASSERT_TRUE((font).ok());                                                                 \
    if (!SelectedFaceMatches((font).dc(), face)) GTEST_SKIP() << face << " is not installed"; \
  } while (0)

class GlyphBitmapTest : public ::testing::TestWithParam<int> {};

TEST_P(GlyphBitmapTest, SizeQueryMatchesFetchAndRowsArePaddedToFourBytes) {
  const int height = GetParam();
  PassFont font(kNoto, height);
  REQUIRE_FACE(font, kNoto);
  const TEXTMETRICA tm = font.Metrics();
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  EXPECT_LE(tm.tmHeight, height + 1);
  EXPECT_GE(tm.tmHeight, height - 1);

  for (UINT code : {kGuo, kYong, 0xD2BBu /* 一 */, 0xA3A1u /* ！ */}) {
    SCOPED_TRACE(code);
    const Glyph g = Fetch(font.dc(), code);
    ASSERT_NE(g.queried, GDI_ERROR);
    EXPECT_EQ(g.fetched, g.queried);
    const UINT w = g.gm.gmBlackBoxX, h = g.gm.gmBlackBoxY;
    const UINT pitch = (w + 3) / 4 * 4;
    ASSERT_EQ(g.queried, pitch * h);

    // Levels 0..16, nothing in the pad columns, and ink somewhere.
    int ink = 0;
    for (UINT row = 0; row < h; ++row) {
      for (UINT col = 0; col < pitch; ++col) {
        const unsigned level = g.bits[row * pitch + col];
        EXPECT_LE(level, 16u);
        if (col >= w) {
          EXPECT_EQ(level, 0u) << "pad byte at row " << row;
        }
        ink += level;
      }
    }
    EXPECT_GT(ink, 0);

    // The black box lies within the character cell and the advance.
    const LONG top = tm.tmAscent - g.gm.gmptGlyphOrigin.y;
    EXPECT_GE(top, 0);
    EXPECT_LE(top + static_cast<LONG>(h), tm.tmHeight);
    EXPECT_GE(g.gm.gmptGlyphOrigin.x, 0);
    EXPECT_LE(g.gm.gmptGlyphOrigin.x + static_cast<LONG>(w), g.gm.gmCellIncX + 1);
  }
  // A hanzi fills most of its em: its box is far larger than half the cell.
  const Glyph guo = Fetch(font.dc(), kGuo);
  EXPECT_GT(static_cast<int>(guo.gm.gmBlackBoxY) * 2, height);
  EXPECT_GT(static_cast<int>(guo.gm.gmBlackBoxX) * 2, height);
}

INSTANTIATE_TEST_SUITE_P(PassHeights, GlyphBitmapTest, ::testing::Values(20, 24, 64));

// GDI sizes a cell height from the Windows ascent and descent (1160 + 288
// units of 1000 here): the ascent is that share of the cell, rounded, and
// full-ink pixels reach level 16 at the largest size.
TEST(GdiFontTest, CellHeightGivesTheWindowsAscent) {
  const struct {
    int height;
    LONG ascent;
  } cases[] = {{20, 16}, {24, 19}, {64, 51}};
  for (const auto& c : cases) {
    PassFont font(kNoto, c.height);
    REQUIRE_FACE(font, kNoto);
    EXPECT_EQ(font.Metrics().tmAscent, c.ascent) << c.height;
  }
  PassFont big(kNoto, 64);
  const Glyph g = Fetch(big.dc(), kYong);
  unsigned most = 0;
  for (unsigned char level : g.bits) most = std::max<unsigned>(most, level);
  EXPECT_EQ(most, 16u);
}

TEST(GdiFontTest, BlankGlyphIsAOnePixelBoxOfNoBytes) {
  PassFont font(kNoto, 24);
  REQUIRE_FACE(font, kNoto);
  for (UINT code : {kIdeographicSpace, 0x20u}) {
    GLYPHMETRICS gm = {};
    EXPECT_EQ(GetGlyphOutlineA(font.dc(), code, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &kIdentity), 0u);
    EXPECT_EQ(gm.gmBlackBoxX, 1u);
    EXPECT_EQ(gm.gmBlackBoxY, 1u);
    // The pass fetches with the size it was told: zero bytes, still no error.
    unsigned char buffer[4] = {};
    EXPECT_EQ(GetGlyphOutlineA(font.dc(), code, GGO_GRAY4_BITMAP, &gm, 0, buffer, &kIdentity), 0u);
  }
}

TEST(GdiFontTest, ErrorsWhereGdiGivesThem) {
  PassFont font(kNoto, 20);
  REQUIRE_FACE(font, kNoto);
  GLYPHMETRICS gm = {};
  EXPECT_EQ(GetGlyphOutlineA(nullptr, kGuo, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
  EXPECT_EQ(GetGlyphOutlineA(font.dc(), kGuo, 7, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
  EXPECT_EQ(GetGlyphOutlineA(font.dc(), kGuo, GGO_GRAY4_BITMAP, &gm, 0, nullptr, nullptr), GDI_ERROR);

  // A buffer smaller than the bitmap is refused and left alone.
  const DWORD needed = GetGlyphOutlineA(font.dc(), kGuo, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &kIdentity);
  ASSERT_NE(needed, GDI_ERROR);
  ASSERT_GT(needed, 4u);
  std::vector<unsigned char> small(needed - 1, 0xAA);
  EXPECT_EQ(GetGlyphOutlineA(font.dc(), kGuo, GGO_GRAY4_BITMAP, &gm, needed - 1, small.data(), &kIdentity), GDI_ERROR);
  EXPECT_EQ(small, std::vector<unsigned char>(needed - 1, 0xAA));

  TEXTMETRICA tm = {};
  EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
}

TEST(GdiFontTest, UnknownFaceGetsASubstituteThatSaysSo) {
  constexpr char kUnknown[] = "No Such Face Anywhere 7";
  PassFont font(kUnknown, 20);
  ASSERT_TRUE(font.ok());
  EXPECT_FALSE(SelectedFaceMatches(font.dc(), kUnknown));
  char face[LF_FACESIZE] = {};
  EXPECT_GT(GetTextFaceA(font.dc(), LF_FACESIZE, face), 0);
  EXPECT_STRNE(face, kUnknown);
  // The substitute still draws the characters of the requested character set.
  const Glyph g = Fetch(font.dc(), kGuo);
  EXPECT_NE(g.queried, GDI_ERROR);
}

// GDI passes over a named face whose code pages lack the character set
// asked for: IPAGothic serves Shift-JIS but not GB2312, so a GB2312 font of
// that name is a substitute that does serve it.
TEST(GdiFontTest, FaceWithoutTheCharacterSetGetsASubstitute) {
  constexpr char kJapaneseOnly[] = "IPAGothic";
  const auto installed = ListInstalledFaces();
  if (std::find(installed.begin(), installed.end(), kJapaneseOnly) == installed.end())
    GTEST_SKIP() << kJapaneseOnly << " is not installed";
  PassFont font(kJapaneseOnly, 24);
  ASSERT_TRUE(font.ok());
  EXPECT_FALSE(SelectedFaceMatches(font.dc(), kJapaneseOnly));
  EXPECT_EQ(font.Metrics().tmCharSet, GB2312_CHARSET);
  const Glyph g = Fetch(font.dc(), kGuo);
  EXPECT_GT(Ink(g), 0u);
}

TEST(GdiFontTest, FaceNamesMatchIgnoringCase) {
  PassFont font("noto SANS cjk sc", 20);
  REQUIRE_FACE(font, kNoto);
  EXPECT_TRUE(SelectedFaceMatches(font.dc(), "noto SANS cjk sc"));
  // GDI reports the font's own spelling of the name.
  char face[LF_FACESIZE] = {};
  EXPECT_EQ(GetTextFaceA(font.dc(), LF_FACESIZE, face), static_cast<int>(std::strlen(kNoto)));
  EXPECT_STREQ(face, kNoto);
  EXPECT_EQ(GetTextFaceA(font.dc(), 0, nullptr), static_cast<int>(std::strlen(kNoto) + 1));
  char small[5] = {};
  EXPECT_EQ(GetTextFaceA(font.dc(), sizeof(small), small), 4);
  EXPECT_STREQ(small, "Noto");
}

TEST(GdiFontTest, LocalisedFamilyNameFindsTheSameFont) {
#ifdef _WIN32
  // GDI reads a GBK face name only under the Chinese ANSI code page; the
  // run under code page 936 must have it.
  if (GetACP() != 936) {
    if (std::getenv("QZF_EXPECT_CODE_PAGE_936")) FAIL() << "ANSI code page " << GetACP() << ", not 936";
    GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 936";
  }
#endif
  PassFont english(kWenQuanYi, 24);
  REQUIRE_FACE(english, kWenQuanYi);
  PassFont chinese(kWenQuanYiChinese, 24);
  ASSERT_TRUE(chinese.ok());
  EXPECT_TRUE(SelectedFaceMatches(chinese.dc(), kWenQuanYiChinese));
  EXPECT_EQ(english.Metrics().tmAscent, chinese.Metrics().tmAscent);
  const Glyph a = Fetch(english.dc(), kYong);
  const Glyph b = Fetch(chinese.dc(), kYong);
  EXPECT_EQ(a.bits, b.bits);
  EXPECT_EQ(a.gm.gmptGlyphOrigin.x, b.gm.gmptGlyphOrigin.x);
  EXPECT_EQ(a.gm.gmptGlyphOrigin.y, b.gm.gmptGlyphOrigin.y);
}

TEST(GdiFontTest, GlyphIndicesMarkMissingCharacters) {
  PassFont font(kNoto, 20);
  REQUIRE_FACE(font, kNoto);
  // 国, "A", then a code that code page 936 leaves to the private use area,
  // where this font has no glyph.
  const char text[] =
      "\xB9\xFA"
      "A"
      "\xA2\xAB";
  WORD indices[4] = {};
  ASSERT_EQ(GetGlyphIndicesA(font.dc(), text, 5, indices, GGI_MARK_NONEXISTING_GLYPHS), 3u);
  EXPECT_NE(indices[0], 0xFFFF);
  EXPECT_NE(indices[0], 0);
  EXPECT_NE(indices[1], 0xFFFF);
  EXPECT_NE(indices[0], indices[1]);
  EXPECT_EQ(indices[2], 0xFFFF);
  // Without the flag a missing character gets the default glyph instead.
  ASSERT_EQ(GetGlyphIndicesA(font.dc(), text, 5, indices, 0), 3u);
  EXPECT_NE(indices[2], 0xFFFF);
}

// A negative height asks for the em in pixels: the font's Windows ascent and
// descent are scaled to that em, so the cell is taller than the em by the
// internal leading, and a hanzi fills most of the em.
TEST(GdiFontTest, NegativeHeightIsTheEmInPixels) {
  const struct {
    const char* face;
    int em;
    LONG ascent, descent, internalLeading;
  } cases[] = {
      {kNoto, 18, 21, 5, 8},      {kNoto, 22, 26, 6, 10},     {kNoto, 58, 67, 17, 26},      {kNoto, 64, 74, 18, 29},
      {kWenQuanYi, 18, 17, 4, 3}, {kWenQuanYi, 24, 22, 6, 4}, {kWenQuanYi, 64, 60, 15, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.face) + " em " + std::to_string(c.em));
    PassFont font(c.face, -c.em);
    REQUIRE_FACE(font, c.face);
    const TEXTMETRICA tm = font.Metrics();
    EXPECT_EQ(tm.tmAscent, c.ascent);
    EXPECT_EQ(tm.tmDescent, c.descent);
    EXPECT_EQ(tm.tmInternalLeading, c.internalLeading);
    const Glyph g = Fetch(font.dc(), kGuo);
    ASSERT_NE(g.queried, GDI_ERROR);
    EXPECT_LE(static_cast<int>(g.gm.gmBlackBoxY), c.em);
    EXPECT_GE(static_cast<int>(g.gm.gmBlackBoxY) * 10, c.em * 8);
  }
}

// GDI tells bold from not bold only: above 550 it takes the family's bold
// face, and a family without one is drawn thickened and a pixel wider; any
// lighter weight gets the regular face unchanged.
TEST(GdiFontTest, WeightPicksTheBoldFaceOrMakesOneUp) {
  enum class Drawn { kRegular, kBoldFace, kMadeUpBold };
  const struct {
    const char* face;
    int weight;
    LONG reportedWeight;
    Drawn drawn;
  } cases[] = {
      {kNoto, 100, 400, Drawn::kRegular},         {kNoto, 300, 400, Drawn::kRegular},
      {kNoto, 550, 400, Drawn::kRegular},         {kNoto, 600, 700, Drawn::kBoldFace},
      {kNoto, 700, 700, Drawn::kBoldFace},        {kNoto, 900, 700, Drawn::kBoldFace},
      {kWenQuanYi, 100, 400, Drawn::kRegular},    {kWenQuanYi, 550, 400, Drawn::kRegular},
      {kWenQuanYi, 600, 700, Drawn::kMadeUpBold}, {kWenQuanYi, 700, 700, Drawn::kMadeUpBold},
      {kWenQuanYi, 900, 700, Drawn::kMadeUpBold},
  };
  for (int height : {20, 64}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.face) + " weight " + std::to_string(c.weight) + " height " + std::to_string(height));
      PassFont regular(c.face, height);
      REQUIRE_FACE(regular, c.face);
      PassFont font(c.face, Request(height, c.weight));
      ASSERT_TRUE(SelectedFaceMatches(font.dc(), c.face));
      const TEXTMETRICA tm = font.Metrics(), base = regular.Metrics();
      EXPECT_EQ(tm.tmWeight, c.reportedWeight);
      EXPECT_EQ(tm.tmAscent, base.tmAscent);
      EXPECT_EQ(tm.tmDescent, base.tmDescent);
      const Glyph g = Fetch(font.dc(), kGuo), b = Fetch(regular.dc(), kGuo);
      ASSERT_NE(g.queried, GDI_ERROR);
      switch (c.drawn) {
        case Drawn::kRegular:
          EXPECT_EQ(g.bits, b.bits);
          EXPECT_EQ(g.gm.gmCellIncX, b.gm.gmCellIncX);
          EXPECT_EQ(tm.tmAveCharWidth, base.tmAveCharWidth);
          break;
        case Drawn::kBoldFace:
          EXPECT_GT(Ink(g), Ink(b));
          EXPECT_EQ(g.gm.gmCellIncX, b.gm.gmCellIncX);
          break;
        case Drawn::kMadeUpBold:
          EXPECT_GT(Ink(g), Ink(b));
          EXPECT_GE(g.gm.gmBlackBoxX, b.gm.gmBlackBoxX);
          EXPECT_EQ(g.gm.gmCellIncX, b.gm.gmCellIncX + 1);
          EXPECT_EQ(tm.tmAveCharWidth, base.tmAveCharWidth + 1);
          EXPECT_EQ(tm.tmMaxCharWidth, base.tmMaxCharWidth + 1);
          break;
      }
    }
  }
}

// The leftmost inked column over a band of rows; the box's width if none.
UINT LeftmostInk(const std::vector<std::vector<unsigned>>& rows, size_t first, size_t last) {
  UINT leftmost = rows.empty() ? 0 : static_cast<UINT>(rows.front().size());
  for (size_t y = first; y < last && y < rows.size(); ++y)
    for (UINT x = 0; x < rows[y].size(); ++x)
      if (rows[y][x] > 0) leftmost = std::min(leftmost, x);
  return leftmost;
}

// A face without an italic is slanted by a quarter of the height: the box
// widens by that much, its top leans right, and advance and rows stay.
TEST(GdiFontTest, ItalicOfAnUprightFaceIsSlanted) {
  for (const char* face : {kNoto, kWenQuanYi}) {
    for (int height : {24, 64}) {
      SCOPED_TRACE(std::string(face) + " height " + std::to_string(height));
      PassFont upright(face, height);
      REQUIRE_FACE(upright, face);
      PassFont italic(face, Request(height, FW_NORMAL, true));
      EXPECT_EQ(upright.Metrics().tmItalic, 0);
      EXPECT_NE(italic.Metrics().tmItalic, 0);
      EXPECT_EQ(italic.Metrics().tmAscent, upright.Metrics().tmAscent);

      const Glyph g = Fetch(italic.dc(), kGuo), b = Fetch(upright.dc(), kGuo);
      ASSERT_NE(g.queried, GDI_ERROR);
      EXPECT_EQ(g.gm.gmCellIncX, b.gm.gmCellIncX);
      EXPECT_EQ(g.gm.gmBlackBoxY, b.gm.gmBlackBoxY);
      EXPECT_EQ(g.gm.gmptGlyphOrigin.y, b.gm.gmptGlyphOrigin.y);
      EXPECT_NEAR(g.gm.gmBlackBoxX, b.gm.gmBlackBoxX + b.gm.gmBlackBoxY / 4.0, 1.5);
      // 国's left stroke runs the full height: its top is a quarter of the
      // height right of its foot.
      const auto rows = Pixels(g, GGO_GRAY4_BITMAP);
      const size_t h = rows.size();
      const UINT top = LeftmostInk(rows, 0, h / 4), foot = LeftmostInk(rows, h - h / 4, h);
      EXPECT_GE(top, foot + h / 8);
    }
  }
}

// GGO_BITMAP: one bit a pixel with the leftmost pixel in the top bit, rows
// padded to four bytes with clear pad bits, and the same ink as the grey
// bitmap at half coverage, pixel for pixel almost everywhere.
TEST(GdiFontTest, MonoBitmapRowsArePaddedToFourBytesLeftmostPixelInTheTopBit) {
  for (const char* face : {kNoto, kWenQuanYi}) {
    for (int height : {20, 24, 64}) {
      PassFont font(face, height);
      REQUIRE_FACE(font, face);
      for (UINT code : {kGuo, kYong}) {
        SCOPED_TRACE(std::string(face) + " height " + std::to_string(height) + " code " + std::to_string(code));
        const Glyph mono = Fetch(font.dc(), code, GGO_BITMAP), grey = Fetch(font.dc(), code);
        ASSERT_NE(mono.queried, GDI_ERROR);
        EXPECT_EQ(mono.fetched, mono.queried);
        const UINT w = mono.gm.gmBlackBoxX, h = mono.gm.gmBlackBoxY;
        const UINT pitch = (w + 31) / 32 * 4;
        ASSERT_EQ(mono.queried, pitch * h);
        for (UINT y = 0; y < h; ++y)
          for (UINT x = w; x < pitch * 8; ++x)
            EXPECT_EQ((mono.bits[y * pitch + x / 8] >> (7 - x % 8)) & 1, 0) << "pad bit " << x << " of row " << y;

        // Both placed at their origins; compared over the larger box.
        const auto monoRows = Pixels(mono, GGO_BITMAP), greyRows = Pixels(grey, GGO_GRAY4_BITMAP);
        auto at = [](const Glyph& g, const std::vector<std::vector<unsigned>>& rows, LONG x, LONG y) -> unsigned {
          const LONG col = x - g.gm.gmptGlyphOrigin.x, row = g.gm.gmptGlyphOrigin.y - y;
          if (row < 0 || col < 0 || row >= static_cast<LONG>(rows.size())) return 0;
          if (col >= static_cast<LONG>(rows[row].size())) return 0;
          return rows[row][col];
        };
        const LONG left = std::min(mono.gm.gmptGlyphOrigin.x, grey.gm.gmptGlyphOrigin.x);
        const LONG top = std::max(mono.gm.gmptGlyphOrigin.y, grey.gm.gmptGlyphOrigin.y);
        const LONG right = std::max(mono.gm.gmptGlyphOrigin.x + static_cast<LONG>(w),
                                    grey.gm.gmptGlyphOrigin.x + static_cast<LONG>(grey.gm.gmBlackBoxX));
        const LONG bottom = std::min(mono.gm.gmptGlyphOrigin.y - static_cast<LONG>(h),
                                     grey.gm.gmptGlyphOrigin.y - static_cast<LONG>(grey.gm.gmBlackBoxY));
        int agree = 0, total = 0;
        for (LONG y = top; y > bottom; --y) {
          for (LONG x = left; x < right; ++x) {
            agree += (at(mono, monoRows, x, y) > 0) == (at(grey, greyRows, x, y) >= 8);
            ++total;
          }
        }
        EXPECT_GE(agree * 100, total * 85) << agree << " of " << total;
      }
      // A blank glyph has a one pixel box and no bytes, as in grey.
      GLYPHMETRICS gm = {};
      EXPECT_EQ(GetGlyphOutlineA(font.dc(), kIdeographicSpace, GGO_BITMAP, &gm, 0, nullptr, &kIdentity), 0u);
      EXPECT_EQ(gm.gmBlackBoxX, 1u);
    }
  }
}

// A face with one-bit strikes (embedded bitmaps at 12 to 16 pixels) gives
// them for GGO_BITMAP at those sizes and its outlines otherwise; grey
// bitmaps always come from the outlines. A made-up bold strike is each row
// ORed with itself one pixel to the right.
TEST(GdiFontTest, MonoBitmapsComeFromStrikesWhereTheFaceHasThem) {
  constexpr char kWithStrikes[] = "WenQuanYi Zen Hei Sharp";
  constexpr char kOutlinesOnly[] = "WenQuanYi Zen Hei";  // the same outlines
  const struct {
    int em;
    bool strike;
  } cases[] = {{12, true}, {16, true}, {20, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE("em " + std::to_string(c.em));
    PassFont strikes(kWithStrikes, -c.em), outlines(kOutlinesOnly, -c.em);
    REQUIRE_FACE(strikes, kWithStrikes);
    REQUIRE_FACE(outlines, kOutlinesOnly);
    EXPECT_EQ(Fetch(strikes.dc(), kGuo).bits, Fetch(outlines.dc(), kGuo).bits);
    const Glyph mono = Fetch(strikes.dc(), kGuo, GGO_BITMAP);
    EXPECT_EQ(mono.bits != Fetch(outlines.dc(), kGuo, GGO_BITMAP).bits, c.strike);
    if (!c.strike) continue;

    PassFont bold(kWithStrikes, Request(-c.em, FW_BOLD));
    const Glyph smeared = Fetch(bold.dc(), kGuo, GGO_BITMAP);
    ASSERT_EQ(smeared.gm.gmBlackBoxX, mono.gm.gmBlackBoxX + 1);
    ASSERT_EQ(smeared.gm.gmBlackBoxY, mono.gm.gmBlackBoxY);
    const auto plain = Pixels(mono, GGO_BITMAP), wide = Pixels(smeared, GGO_BITMAP);
    for (size_t y = 0; y < wide.size(); ++y) {
      for (size_t x = 0; x < wide[y].size(); ++x) {
        const unsigned here = x < plain[y].size() ? plain[y][x] : 0, left = x > 0 ? plain[y][x - 1] : 0;
        EXPECT_EQ(wide[y][x], std::max(here, left)) << "row " << y << " column " << x;
      }
    }
  }
}

}  // namespace
}  // namespace qzf
