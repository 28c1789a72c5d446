// The font calls of the glyph rewrite pass, as the pass makes them. The same
// tests run against the native stand-ins and, in the Windows build, against
// GDI itself, so they check only what both give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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

// A font made as the pass makes it, selected into a memory context.
class PassFont {
 public:
  PassFont(const char* face, int height) : font_(face, Request(height)) {}

  bool ok() const { return font_.dc() != nullptr; }
  HDC dc() const { return font_.dc(); }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA tm = {};
    EXPECT_TRUE(GetTextMetricsA(font_.dc(), &tm));
    return tm;
  }

 private:
  static FontRequest Request(int height) {
    FontRequest request;
    request.height = height;
    return request;
  }
  SelectedFont font_;
};

struct Glyph {
  DWORD queried = GDI_ERROR;
  DWORD fetched = GDI_ERROR;
  GLYPHMETRICS gm = {};
  std::vector<unsigned char> bits;
};

// The size query, then the fetch into a zeroed buffer of that size.
Glyph Fetch(HDC dc, UINT code) {
  Glyph g;
  g.queried = GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &g.gm, 0, nullptr, &kIdentity);
  if (g.queried == GDI_ERROR) return g;
  g.bits.assign(g.queried + 4, 0);
  g.fetched = GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &g.gm, g.queried, g.bits.data(), &kIdentity);
  g.bits.resize(g.queried);
  return g;
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
  // GDI reads a GBK face name only under the Chinese ANSI code page.
  if (GetACP() != 936) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 936";
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

}  // namespace
}  // namespace qzf
