#include "fontbuild/style_fit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "tests/fontpatch/scripted_glyphs.h"

namespace qzf {
namespace {

// The scripted face's ascent: a glyph whose originY equals it starts in the
// cell's top row.
constexpr int kAscent = 17;
const GlyphSizeInfo& kSize24 = SizeModeTable[1];

// `count` GBK codes from lead byte `lead` on, trail bytes A1..FE.
std::vector<std::uint16_t> Codes(std::uint16_t lead, std::size_t count) {
  std::vector<std::uint16_t> codes;
  for (std::uint16_t l = lead; codes.size() < count; ++l)
    for (std::uint16_t t = 0xA1; t <= 0xFE && codes.size() < count; ++t)
      codes.push_back(static_cast<std::uint16_t>(l << 8 | t));
  return codes;
}

// A solid box of ink, `left` pixels right of the origin and `top` rows below
// the cell's top when the baseline is at the ascent.
test::ScriptedGlyph Box(int left, int top, int width, int height) {
  test::ScriptedGlyph g;
  g.width = static_cast<std::uint32_t>(width);
  g.height = static_cast<std::uint32_t>(height);
  g.originX = left;
  g.originY = kAscent - top;
  const std::uint32_t pitch = GlyphRowPitch(g.width);
  g.bytes.assign(static_cast<std::size_t>(pitch) * g.height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) g.bytes[static_cast<std::size_t>(y) * pitch + static_cast<std::size_t>(x)] = 9;
  return g;
}

class StyleFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::Script() = test::GlyphScript{};
    test::Script().ascent = kAscent;
  }

  StyleFitRequest Request(std::vector<std::uint16_t> characters) const {
    StyleFitRequest request;
    request.face = RenderFace{"Scripted"};
    request.characters = std::move(characters);
    request.ops = &test::ScriptedOps();
    return request;
  }
};

TEST_F(StyleFitTest, ConstantsAndIdeographs) {
  EXPECT_DOUBLE_EQ(kFitCutShare, 0.005);
  EXPECT_TRUE(IsCjkIdeograph(0xB0A1));   // the first level-1 hanzi
  EXPECT_TRUE(IsCjkIdeograph(0x8140));   // a GBK extension hanzi
  EXPECT_FALSE(IsCjkIdeograph(0xA3C1));  // a full-width letter
  EXPECT_FALSE(IsCjkIdeograph(0xA4A2));  // hiragana
  EXPECT_FALSE(IsCjkIdeograph(0x0041));
}

// 600 characters: at most 3 (0.5 %) may be cut. Most glyphs are four pixels
// narrower than the em (they fit a 24-pixel cell up to em 28); the wide ones
// are as wide as the em (up to em 24). As many wide ones as the limit allows
// are cut; one more and the fit keeps them whole.
TEST_F(StyleFitTest, TheFitChoosesTheLargestSizeThatCutsAtMostHalfAPercent) {
  struct Case {
    std::size_t wide;
    std::int32_t emHeight;
    std::uint32_t cut;
  };
  const Case cases[] = {{0, 28, 0}, {1, 28, 1}, {3, 28, 3}, {4, 24, 0}, {6, 24, 0}, {600, 24, 0}};
  const std::vector<std::uint16_t> characters = Codes(0xB0, 600);
  for (const Case& c : cases) {
    SetUp();
    test::Script().sizedGlyph = [&c](unsigned character, int fontHeight) {
      const int em = -fontHeight;
      // Spread over the list: every hundredth from the seventh on, or all.
      const std::size_t index = ((character >> 8) - 0xB0u) * 94u + ((character & 0xFFu) - 0xA1u);
      const bool wide = c.wide >= 600 || (index % 100 == 7 && index / 100 < c.wide);
      return wide ? Box(0, 0, em, em) : Box(0, 0, em - 4, em - 4);
    };
    const SizeFit fit = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, true, false);
    EXPECT_EQ(fit.emHeight, c.emHeight) << c.wide << " wide";
    EXPECT_EQ(fit.cutCharacters, c.cut) << c.wide << " wide";
    EXPECT_EQ(fit.alignX, 0) << c.wide << " wide";
    EXPECT_EQ(fit.alignY, 0) << c.wide << " wide";
  }
}

// Without a fit the style's own em height is kept (and asked of the font),
// and the cut characters are counted all the same.
TEST_F(StyleFitTest, WithoutAFitTheSizeIsKeptAndTheCutCounted) {
  const std::vector<std::uint16_t> characters = Codes(0xB0, 40);
  test::Script().sizedGlyph = [](unsigned character, int fontHeight) {
    return (character & 1) ? Box(0, 0, -fontHeight, -fontHeight) : Box(0, 0, 10, 10);
  };
  GlyphStyle style;
  style.emHeight = 26;
  const SizeFit fit = FitSizeStyle(Request(characters), kSize24, style, false, false);
  EXPECT_EQ(fit.emHeight, 26);
  EXPECT_EQ(test::Script().fontHeightAsked, -26);
  EXPECT_EQ(fit.cutCharacters, 20u);
}

// The centring offset brings the middle of the CJK ideographs' median ink
// box to the cell's middle, rounding toward minus infinity; the bitmap's
// origin goes to the pixel pair as the packing puts it.
TEST_F(StyleFitTest, TheCentringOffsetCentresTheMedianBox) {
  struct Case {
    const char* name;
    int originX, top, width, height;
    std::int32_t alignX, alignY;
  };
  const Case cases[] = {
      {"inside, even", 2, 3, 10, 10, 5, 4},        // (24-2-12)/2, (24-3-13)/2
      {"odd origin and sums", 3, 0, 9, 11, 5, 6},  // left 2: (24-2-11)/2 = 5.5, (24-0-11)/2 = 6.5
      {"over the edges", 4, -3, 25, 27, -5, 1},    // (24-4-29)/2 = -4.5, (24+3-24)/2 = 1.5
      {"centred already", 0, 0, 24, 24, 0, 0},
  };
  const std::vector<std::uint16_t> characters = Codes(0xB0, 30);
  for (const Case& c : cases) {
    SetUp();
    test::Script().sizedGlyph = [&c](unsigned, int) { return Box(c.originX, c.top, c.width, c.height); };
    const SizeFit fit = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, false, true);
    EXPECT_EQ(fit.alignX, c.alignX) << c.name;
    EXPECT_EQ(fit.alignY, c.alignY) << c.name;
    EXPECT_EQ(fit.emHeight, 0) << c.name;
  }
}

// Only the ideographs the face draws count, and of them the median box:
// symbols, kana and missing characters (each group alone larger than the
// ideographs) and a minority of odd ideographs do not move the offset.
// Without ideographs nothing moves.
TEST_F(StyleFitTest, TheCentringGoesByTheIdeographsMedianOnly) {
  std::vector<std::uint16_t> characters = Codes(0xB0, 150);     // ideographs, leads B0-B1: the common box
  const std::vector<std::uint16_t> odd = Codes(0xC0, 100);      // ideographs, leads C0-C1: far right and down
  const std::vector<std::uint16_t> symbols = Codes(0xA1, 300);  // symbols, letters, kana, leads A1-A4
  const std::vector<std::uint16_t> missing = Codes(0xD0, 300);  // ideographs the face lacks, leads D0-D3
  for (const auto* more : {&odd, &symbols, &missing}) characters.insert(characters.end(), more->begin(), more->end());
  test::Script().sizedGlyph = [](unsigned character, int) {
    const unsigned lead = character >> 8;
    if (lead >= 0xC0 && lead < 0xC2) return Box(14, 12, 10, 12);
    if (lead >= 0xA1 && lead < 0xB0) return Box(0, 0, 6, 6);
    if (lead >= 0xD0 && lead < 0xD4) {
      test::ScriptedGlyph g = Box(0, 0, 6, 6);
      g.missing = true;
      return g;
    }
    return Box(2, 3, 10, 10);
  };
  const SizeFit fit = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, false, true);
  EXPECT_EQ(fit.alignX, 5);
  EXPECT_EQ(fit.alignY, 4);

  SetUp();
  test::Script().sizedGlyph = [](unsigned, int) { return Box(0, 0, 6, 6); };
  const SizeFit none = FitSizeStyle(Request(symbols), kSize24, GlyphStyle{}, false, true);
  EXPECT_EQ(none.alignX, 0);
  EXPECT_EQ(none.alignY, 0);
}

// With centring, the cut is counted where the offset puts the glyphs: boxes
// that start six rows down fit a size only once they are moved up.
TEST_F(StyleFitTest, TheFitCountsTheCutAfterCentring) {
  const std::vector<std::uint16_t> characters = Codes(0xB0, 200);
  test::Script().sizedGlyph = [](unsigned, int fontHeight) {
    const int em = -fontHeight;
    return Box(0, 6, em - 4, em - 4);
  };
  const SizeFit plain = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, true, false);
  EXPECT_EQ(plain.emHeight, 22);
  EXPECT_EQ(plain.cutCharacters, 0u);
  SetUp();
  test::Script().sizedGlyph = [](unsigned, int fontHeight) {
    const int em = -fontHeight;
    return Box(0, 6, em - 4, em - 4);
  };
  const SizeFit centred = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, true, true);
  EXPECT_EQ(centred.emHeight, 28);
  EXPECT_EQ(centred.alignX, 0);
  EXPECT_EQ(centred.alignY, -6);
  EXPECT_EQ(centred.cutCharacters, 0u);
}

// When no size above the starting one (half the cell) keeps the cut within
// the limit, the starting size is chosen with its own cut and offset; when a
// larger one is chosen, the starting size is never drawn.
TEST_F(StyleFitTest, TheStartingSizeIsDrawnOnlyWhenNothingLargerFits) {
  const std::vector<std::uint16_t> characters = Codes(0xB0, 400);
  test::Script().sizedGlyph = [](unsigned, int fontHeight) { return Box(0, 6, 20 - fontHeight, -fontHeight); };
  const SizeFit none = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, true, true);
  EXPECT_EQ(none.emHeight, 12);
  EXPECT_EQ(none.cutCharacters, 400u);
  EXPECT_EQ(none.alignX, -4);  // (24 - 0 - 32) / 2
  EXPECT_EQ(none.alignY, 0);   // (24 - 6 - 18) / 2
  // Em heights 24, 18, 15 and 13 tried (each given up: every glyph is wider
  // than the cell), then the starting 12, drawn whole.
  EXPECT_GE(test::Script().charactersAsked.size(), characters.size());
  EXPECT_LT(test::Script().charactersAsked.size(), 2u * characters.size());

  // Em heights 24, 30, 27, 28, 29 tried (28 fits, 29 does not): the three
  // that fit drawn whole, the two that cut given up, the starting 12 never
  // drawn.
  SetUp();
  test::Script().sizedGlyph = [](unsigned, int fontHeight) { return Box(0, 0, -fontHeight - 4, -fontHeight - 4); };
  const SizeFit fitted = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, true, false);
  EXPECT_EQ(fitted.emHeight, 28);
  EXPECT_GE(test::Script().charactersAsked.size(), 3u * characters.size());
  EXPECT_LT(test::Script().charactersAsked.size(), 4u * characters.size());
}

// A size that surely cuts too many is given up before all its glyphs are
// drawn (uncentred: glyphs outside the cell; centred: glyphs larger than it),
// with the same choice as drawing them all. The size chosen is always drawn
// whole: its cut is told.
TEST_F(StyleFitTest, ASizeThatSurelyCutsTooManyIsGivenUpEarly) {
  const std::vector<std::uint16_t> characters = Codes(0xB0, 1000);  // at most 5 cut
  struct Case {
    bool center;
    std::int32_t emHeight;
    std::size_t whole;  // sizes drawn whole
  };
  // Uncentred: em heights 24 and 21 cut the wide glyphs (both given up), 18,
  // 19 and 20 fit. Centred (moved right by half the spare width): 24 given
  // up; 18 cuts them too but they are no wider than the cell, so it is drawn
  // whole, as are 15, 16 and 17, which fit.
  const Case cases[] = {{false, 20, 3}, {true, 17, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.center ? "centred" : "uncentred");
    SetUp();
    // As wide as the em, and about every tenth glyph four pixels wider.
    test::Script().sizedGlyph = [](unsigned character, int fontHeight) {
      const int em = -fontHeight;
      return Box(0, 0, em + ((character & 0xFF) % 10 == 0 ? 4 : 0), em);
    };
    const SizeFit fit = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, true, c.center);
    EXPECT_EQ(fit.emHeight, c.emHeight);
    EXPECT_EQ(fit.cutCharacters, 0u);
    EXPECT_GE(test::Script().charactersAsked.size(), c.whole * characters.size());
    EXPECT_LT(test::Script().charactersAsked.size(), c.whole * characters.size() + 200u);
  }
}

// The ink box is where the inked pixels are, not the bitmap's box: a
// scattered glyph with blank rows and columns around its ink, one pixel in
// the bitmap's last column.
TEST_F(StyleFitTest, TheInkBoxIsTheInkedPixels) {
  test::ScriptedGlyph g;
  g.width = 10;
  g.height = 8;
  g.originX = 2;
  g.originY = kAscent - 3;  // the bitmap's top in row 3, its left in column 2
  const std::uint32_t pitch = GlyphRowPitch(g.width);
  g.bytes.assign(static_cast<std::size_t>(pitch) * g.height, 0);
  for (const auto& [row, column] : {std::pair{1u, 9u}, {4u, 1u}, {2u, 3u}}) g.bytes[row * pitch + column] = 1;
  test::Script().sizedGlyph = [&g](unsigned, int) { return g; };
  // Ink columns 3..11, rows 4..7: (24 - 3 - 12) / 2 and (24 - 4 - 8) / 2.
  const SizeFit fit = FitSizeStyle(Request(Codes(0xB0, 10)), kSize24, GlyphStyle{}, false, true);
  EXPECT_EQ(fit.alignX, 4);
  EXPECT_EQ(fit.alignY, 6);
}

// Boxes kept in a cache: the same choices as measured afresh; a second fit
// draws nothing; another cell size at an em height measured already draws
// nothing (the boxes do not depend on the cell); anything the glyphs depend
// on measures again.
TEST_F(StyleFitTest, KeptInkBoxesGiveTheSameChoicesAndAreNotDrawnTwice) {
  const std::vector<std::uint16_t> characters = Codes(0xB0, 200);
  const auto glyphs = [](unsigned character, int fontHeight) {
    const int em = -fontHeight;
    return Box(static_cast<int>(character & 1) * 2, 6, em - 4, em - 4);
  };
  const auto same = [](const SizeFit& a, const SizeFit& b) {
    return a.emHeight == b.emHeight && a.alignX == b.alignX && a.alignY == b.alignY &&
           a.cutCharacters == b.cutCharacters;
  };
  const GlyphSizeInfo& size64 = SizeModeTable[2];
  GlyphStyle at24;
  at24.emHeight = 24;  // the fit tries the cell size first
  test::Script().sizedGlyph = glyphs;
  const SizeFit afresh = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, true, true);
  const SizeFit afresh64 = FitSizeStyle(Request(characters), size64, at24, false, true);

  InkBoxCache cache(32);
  StyleFitRequest request = Request(characters);
  request.cache = &cache;
  SetUp();
  test::Script().sizedGlyph = glyphs;
  EXPECT_TRUE(same(FitSizeStyle(request, kSize24, GlyphStyle{}, true, true), afresh));
  EXPECT_GT(test::Script().charactersAsked.size(), 0u);
  SetUp();
  test::Script().sizedGlyph = glyphs;
  EXPECT_TRUE(same(FitSizeStyle(request, kSize24, GlyphStyle{}, true, true), afresh));
  // Only what a size given up drew (not kept: its boxes are incomplete).
  const std::size_t again = test::Script().charactersAsked.size();
  EXPECT_LT(again, characters.size());
  EXPECT_TRUE(same(FitSizeStyle(request, size64, at24, false, true), afresh64));
  EXPECT_EQ(test::Script().charactersAsked.size(), again);

  struct Change {
    const char* name;
    std::function<void(StyleFitRequest&, GlyphStyle&)> apply;
  };
  const Change changes[] = {
      {"weight", [](StyleFitRequest&, GlyphStyle& s) { s.weight = 700; }},
      {"italic", [](StyleFitRequest&, GlyphStyle& s) { s.italic = true; }},
      {"mono", [](StyleFitRequest&, GlyphStyle& s) { s.mono = true; }},
      {"em height", [](StyleFitRequest&, GlyphStyle& s) { s.emHeight = 23; }},
      {"baseline", [](StyleFitRequest&, GlyphStyle& s) { s.baseline = 20; }},
      {"face", [](StyleFitRequest& r, GlyphStyle&) { r.face.name = "Other"; }},
      {"fallback", [](StyleFitRequest& r, GlyphStyle&) { r.fallbackFaces.push_back(RenderFace{"Other"}); }},
      {"characters", [](StyleFitRequest& r, GlyphStyle&) { r.characters.pop_back(); }},
  };
  for (const Change& change : changes) {
    SetUp();
    test::Script().sizedGlyph = glyphs;
    StyleFitRequest changed = request;
    GlyphStyle style = at24;
    change.apply(changed, style);
    FitSizeStyle(changed, kSize24, style, false, true);
    EXPECT_GT(test::Script().charactersAsked.size(), 0u) << change.name;
  }
  // What centring leaves out (the shift and the grey curve) measures nothing.
  SetUp();
  test::Script().sizedGlyph = glyphs;
  GlyphStyle look = at24;
  look.shiftX = 3;
  look.gamma = 1.5;
  FitSizeStyle(request, kSize24, look, false, true);
  EXPECT_EQ(test::Script().charactersAsked.size(), 0u);
}

// A fit whose request says stop, as it draws, gives up with FitStopped; the
// em heights it measured whole stay kept, so the fit asked again draws only
// the rest, and chooses what a fit never stopped chooses.
TEST_F(StyleFitTest, AStoppedFitKeepsWhatItMeasuredWholeAndChangesNoChoice) {
  const std::vector<std::uint16_t> characters = Codes(0xB0, 200);
  const auto glyphs = [](unsigned character, int fontHeight) {
    const int em = -fontHeight;
    return Box(static_cast<int>(character % 3), 3, em - 3, em - 4);
  };
  test::Script().sizedGlyph = glyphs;
  const SizeFit afresh = FitSizeStyle(Request(characters), kSize24, GlyphStyle{}, true, true);
  const std::size_t drawnAfresh = test::Script().charactersAsked.size();
  ASSERT_GT(drawnAfresh, 2 * characters.size());

  InkBoxCache cache(32);
  StyleFitRequest request = Request(characters);
  request.cache = &cache;
  // Stopped half way through the second em height tried.
  std::size_t asked = 0;
  request.stop = [&asked, &characters] { return ++asked > characters.size() * 3 / 2; };
  SetUp();
  test::Script().sizedGlyph = glyphs;
  EXPECT_THROW(FitSizeStyle(request, kSize24, GlyphStyle{}, true, true), FitStopped);
  // Drawing stops at the end of the run of glyphs under way (48).
  EXPECT_LE(test::Script().charactersAsked.size(), characters.size() * 3 / 2 + 48);
  EXPECT_EQ(cache.size(), 1u);

  request.stop = nullptr;
  SetUp();
  test::Script().sizedGlyph = glyphs;
  const SizeFit again = FitSizeStyle(request, kSize24, GlyphStyle{}, true, true);
  EXPECT_EQ(test::Script().charactersAsked.size(), drawnAfresh - characters.size());
  EXPECT_EQ(again.emHeight, afresh.emHeight);
  EXPECT_EQ(again.alignX, afresh.alignX);
  EXPECT_EQ(again.alignY, afresh.alignY);
  EXPECT_EQ(again.cutCharacters, afresh.cutCharacters);
}

// Most recently used kept, the oldest dropped past the capacity.
TEST(InkBoxCacheTest, KeepsTheMostRecentlyUsed) {
  InkBoxCache cache(2);
  const auto key = [](std::int32_t height) {
    InkBoxKey k;
    k.fontHeight = height;
    return k;
  };
  const auto boxes = [](std::int32_t left) {
    auto b = std::make_shared<InkBoxes>();
    b->boxes.push_back(InkBox{left, 0, left + 1, 1});
    return std::shared_ptr<const InkBoxes>(std::move(b));
  };
  cache.Keep(key(1), boxes(1));
  cache.Keep(key(2), boxes(2));
  ASSERT_NE(cache.Find(key(1)), nullptr);  // 1 now the most recent
  cache.Keep(key(3), boxes(3));            // 2 dropped
  EXPECT_EQ(cache.Find(key(2)), nullptr);
  ASSERT_NE(cache.Find(key(1)), nullptr);
  EXPECT_EQ(cache.Find(key(1))->boxes[0].left, 1);
  cache.Keep(key(1), boxes(7));  // replaced, not doubled
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_EQ(cache.Find(key(1))->boxes[0].left, 7);
  cache.Clear();
  EXPECT_EQ(cache.Find(key(3)), nullptr);
}

}  // namespace
}  // namespace qzf
