// The studio draws cells and finds problems without building: what it shows
// must be what a build writes and reports.
#include "studio/glyph_workshop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "fontbuild/font_build.h"
#include "fontpatch/font_file_report.h"
#include "platform/base/codepage.h"
#include "preview/preview_lines.h"
#include "preview/text_layout.h"
#include "preview/utf8_text.h"
#include "studio/live_cells.h"
#include "tests/fontpatch/scripted_glyphs.h"
#include "tests/support/installed_face.h"
#include "tests/support/scratch_dir.h"

namespace qzf::studio {
namespace {

class SilentObserver final : public FontBuildObserver {
 public:
  void PassStarted(std::size_t, const GlyphSizeInfo&) override {}
  void Message(std::string_view) override {}
  void GlyphRendered(std::uint32_t, std::uint32_t) override {}
};

struct Built {
  FontBuildResult result;
  std::vector<unsigned char> bytes;
};

Built Build(const FaceStyle& faceStyle) {
  test::ScratchDir dir;
  FontBuildRequest request;
  request.faceName = faceStyle.face;
  request.outputPath = dir.File("F_FONTJ.qzf");
  request.style = faceStyle.style;
  SilentObserver observer;
  Built built;
  built.result = BuildFont(request, observer);
  if (auto bytes = ReadWholeFile(request.outputPath.c_str())) built.bytes = std::move(*bytes);
  return built;
}

// Styles that move, grow, cut, centre and fall back.
std::vector<FaceStyle> Styles() {
  FaceStyle plain{"Noto Sans CJK SC", {}};
  FaceStyle centred = plain;
  centred.style.align = GlyphAlign::kCenter;
  centred.style.sizes[0].emHeight = 24;  // too big for 20 px: ink is cut
  centred.style.sizes[1].mono = true;
  centred.style.sizes[1].weight = 700;
  centred.style.sizes[2].gamma = 1.6;
  centred.style.sizes[0].baseline = 15;  // centring ignores it
  centred.style.sizes[0].shiftX = 2;     // moves the centred glyphs
  centred.style.sizes[1].shiftY = -1;
  FaceStyle fallback{"IPAGothic", {}};
  fallback.style.fallbackFaces = {"Noto Sans CJK SC"};
  fallback.style.sizes[2].baseline = 50;
  fallback.style.sizes[2].shiftX = 3;
  fallback.style.sizes[2].shiftY = -2;
  return {plain, centred, fallback};
}

class GlyphWorkshopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    auto data = StudioData::Load("", "", error);
    ASSERT_TRUE(data) << error;
    data_ = new StudioData(std::move(*data));
  }
  static void TearDownTestSuite() { delete data_; }
  static StudioData* data_;
};
StudioData* GlyphWorkshopTest::data_ = nullptr;

TEST_F(GlyphWorkshopTest, PreviewCellsAreTheCellsABuildWrites) {
  QZF_REQUIRE_FACE("Noto Sans CJK SC");
  QZF_REQUIRE_FACE("IPAGothic");
  std::vector<std::uint32_t> positions;
  for (const char* line : {kPreviewLine1, kPreviewLine2, kPreviewLine3}) {
    const auto text = DecodeUtf8(GbkToUtf8Lossy(line));
    ASSERT_TRUE(text);
    for (const PlacedCharacter& c : LayOutText(*text, 40, data_->codes(), data_->stockCells()).placed) {
      if (c.position) positions.push_back(*c.position);
    }
  }
  ASSERT_EQ(positions.size(), 34u);  // every character of the three lines has a cell
  // Cells the build keeps (no entry, or kept) come from the stock file.
  for (std::uint32_t p = 0; p < kIndexedGlyphCount && positions.size() < 60; ++p) {
    if (!data_->CharacterOfCode(data_->CodeAt(p))) positions.push_back(p);
  }
  GlyphWorkshop workshop(*data_);
  for (const FaceStyle& style : Styles()) {
    const Built built = Build(style);
    ASSERT_EQ(built.result.status, FontBuildStatus::kOk) << style.face;
    for (std::size_t s = 0; s < SizeModeTable.size(); ++s) {
      const GlyphSizeInfo& size = SizeModeTable[s];
      LiveCells live(*data_, workshop, style, s);
      ASSERT_TRUE(live.Draw(positions));
      std::vector<std::uint8_t> levels(std::size_t{size.cellSize} * size.cellSize);
      for (std::size_t k = 0; k < positions.size(); ++k) {
        live.Levels(size, positions[k], levels);
        for (std::uint32_t y = 0; y < size.cellSize; ++y) {
          for (std::uint32_t x = 0; x < size.cellSize; ++x) {
            ASSERT_EQ(levels[y * size.cellSize + x], ReadPixel(built.bytes, size, positions[k], x, y))
                << style.face << " size " << size.cellSize << " position " << positions[k] << " at " << x << "," << y;
          }
        }
      }
    }
  }
}

// A centred size's shift moves the glyphs from the centred place by
// itself; gamma and baseline leave that place as it is.
TEST_F(GlyphWorkshopTest, CentredGlyphsMoveByTheShiftAlone) {
  GlyphWorkshop workshop(*data_);
  FaceStyle centred{"Noto Sans CJK SC", {}};
  centred.style.align = GlyphAlign::kCenter;
  const GlyphStyle base = workshop.PassStyle(centred, 1);
  const struct {
    std::int32_t shiftX, shiftY;
    double gamma;
    std::optional<std::int32_t> baseline;
  } cases[] = {{3, 0, 1.0, std::nullopt}, {0, -2, 1.0, std::nullopt}, {1, 1, 0.5, 20}, {0, 0, 2.5, 3}};
  for (const auto& c : cases) {
    FaceStyle moved = centred;
    moved.style.sizes[1].shiftX = c.shiftX;
    moved.style.sizes[1].shiftY = c.shiftY;
    moved.style.sizes[1].gamma = c.gamma;
    moved.style.sizes[1].baseline = c.baseline;
    const GlyphStyle pass = workshop.PassStyle(moved, 1);
    EXPECT_EQ(pass.shiftX - base.shiftX, c.shiftX) << c.shiftX << "," << c.shiftY;
    EXPECT_EQ(pass.shiftY - base.shiftY, c.shiftY) << c.shiftX << "," << c.shiftY;
    EXPECT_EQ(pass.baseline, base.baseline);
  }
}

TEST_F(GlyphWorkshopTest, FindingsAreWhatABuildReports) {
  QZF_REQUIRE_FACE("Noto Sans CJK SC");
  QZF_REQUIRE_FACE("IPAGothic");
  GlyphWorkshop workshop(*data_);
  for (const FaceStyle& style : Styles()) {
    const Built built = Build(style);
    ASSERT_EQ(built.result.status, FontBuildStatus::kOk);
    bool ok = false;
    const auto findings = workshop.Findings(style, ok);
    ASSERT_TRUE(ok);
    for (std::size_t s = 0; s < SizeModeTable.size(); ++s) {
      const PatchPassResult& pass = built.result.passes[s].result;
      const SizeFindings& found = findings[s];
      EXPECT_EQ(found.redrawn, pass.cellsRewritten);
      std::vector<std::uint32_t> missing;
      for (const GlyphFinding& f : pass.missing) missing.push_back(f.position);
      EXPECT_EQ(found.missing, missing) << style.face << " " << s;
      std::vector<std::pair<std::uint32_t, std::uint32_t>> cut;
      for (const GlyphFinding& f : pass.cutInk) cut.emplace_back(f.position, f.pixels);
      EXPECT_EQ(found.cut, cut) << style.face << " " << s;
      std::uint32_t fromFallback = 0;
      for (std::size_t f = 1; f < pass.drawnByFace.size(); ++f) fromFallback += pass.drawnByFace[f];
      EXPECT_EQ(found.fromFallback.size(), fromFallback);
    }
  }
  // The styles above do find something of each kind.
  bool ok = false;
  EXPECT_FALSE(workshop.Findings(Styles()[1], ok)[0].cut.empty());
  EXPECT_FALSE(workshop.Findings(Styles()[2], ok)[0].fromFallback.empty());
}

// The fit's sizes do what a fit promises, seen in the cells a build writes:
// at each size's chosen em height, centred, at most 0.5 % of the drawn
// characters lose ink; one pixel more and more do. A build with --fit
// chooses the same sizes and offsets as the studio.
TEST_F(GlyphWorkshopTest, TheFitKeepsTheCutWithinItsShareAndNoLarger) {
  QZF_REQUIRE_FACE("WenQuanYi Micro Hei");
  GlyphWorkshop workshop(*data_);
  FaceStyle style{"WenQuanYi Micro Hei", {}};
  const auto fits = workshop.Fit(style);
  FaceStyle chosen = style;
  FaceStyle larger = style;
  chosen.style.align = larger.style.align = GlyphAlign::kCenter;
  for (std::size_t s = 0; s < SizeModeTable.size(); ++s) {
    chosen.style.sizes[s].emHeight = fits[s].emHeight;
    larger.style.sizes[s].emHeight = fits[s].emHeight + 1;
  }
  bool ok = false;
  const auto atFit = workshop.Findings(chosen, ok);
  ASSERT_TRUE(ok);
  const auto atLarger = workshop.Findings(larger, ok);
  ASSERT_TRUE(ok);
  for (std::size_t s = 0; s < SizeModeTable.size(); ++s) {
    const auto limit = static_cast<std::size_t>(0.005 * atFit[s].redrawn);
    const std::uint32_t cell = SizeModeTable[s].cellSize;
    EXPECT_GT(fits[s].emHeight, static_cast<std::int32_t>(cell) / 2) << cell;
    EXPECT_LE(atFit[s].cut.size(), limit) << cell << " px at em " << fits[s].emHeight;
    EXPECT_EQ(atFit[s].cut.size(), fits[s].cutCharacters) << cell;
    EXPECT_GT(atLarger[s].cut.size(), limit) << cell << " px at em " << fits[s].emHeight + 1;
  }

  FaceStyle fitted = style;
  fitted.style.fit = true;
  fitted.style.align = GlyphAlign::kCenter;
  const Built built = Build(fitted);
  ASSERT_EQ(built.result.status, FontBuildStatus::kOk);
  for (std::size_t s = 0; s < SizeModeTable.size(); ++s) {
    EXPECT_EQ(built.result.fits[s].emHeight, fits[s].emHeight);
    EXPECT_EQ(built.result.fits[s].alignX, fits[s].alignX);
    EXPECT_EQ(built.result.fits[s].alignY, fits[s].alignY);
    EXPECT_EQ(built.result.passes[s].result.cutInk.size(), atFit[s].cut.size());
  }
}

// A fit made ahead of time gives way: at once while another draws, and in
// the middle of its drawing as soon as anyone asks for the fonts. What it
// has measured whole is kept: made ahead to the end, the fit asked for
// afterwards draws nothing, and every fit chooses what a fit made afresh
// chooses.
TEST_F(GlyphWorkshopTest, AFitMadeAheadGivesWayAndChangesNoChoice) {
  using namespace std::chrono_literals;
  test::Script() = test::GlyphScript{};
  // Glyphs four pixels narrower than the em, every third one as wide.
  const auto glyph = [](unsigned character, int fontHeight) {
    const int em = -fontHeight;
    const int width = character % 3 == 0 ? em : em - 4;
    test::ScriptedGlyph g;
    g.width = static_cast<std::uint32_t>(width);
    g.height = static_cast<std::uint32_t>(em - 4);
    g.originY = 15;
    const std::uint32_t pitch = GlyphRowPitch(g.width);
    g.bytes.assign(static_cast<std::size_t>(pitch) * g.height, 0);
    for (std::uint32_t y = 0; y < g.height; ++y) std::fill_n(g.bytes.begin() + y * pitch, g.width, 9);
    return g;
  };
  test::Script().sizedGlyph = glyph;
  const FaceStyle style{"Scripted", {}};
  const auto same = [](const std::array<SizeFit, SizeModeTable.size()>& a,
                       const std::array<SizeFit, SizeModeTable.size()>& b) {
    for (std::size_t s = 0; s < a.size(); ++s) {
      if (a[s].emHeight != b[s].emHeight || a[s].alignX != b[s].alignX || a[s].alignY != b[s].alignY ||
          a[s].cutCharacters != b[s].cutCharacters)
        return false;
    }
    return true;
  };
  const auto afresh = GlyphWorkshop(*data_, &test::ScriptedOps()).Fit(style);
  const std::size_t drawnAfresh = test::Script().charactersAsked.size();
  const std::size_t oneHeight = data_->drawnCharacters().size();
  ASSERT_GT(drawnAfresh, 6000u);
  test::Script().charactersAsked.clear();

  GlyphWorkshop workshop(*data_, &test::ScriptedOps());
  {
    std::lock_guard drawing(workshop.fontLock());
    EXPECT_FALSE(workshop.FitAhead(style));
  }
  EXPECT_TRUE(test::Script().charactersAsked.empty());

  // Some way into the fit, the glyph source tells the test, which then asks
  // for the fonts; the source waits until it has asked.
  std::promise<void> begun;
  bool told = false;
  test::Script().sizedGlyph = [&](unsigned character, int fontHeight) {
    if (!told && test::Script().charactersAsked.size() > 6000) {
      told = true;
      begun.set_value();
      for (int i = 0; i < 2000 && !workshop.fontLock().Wanted(); ++i) std::this_thread::sleep_for(5ms);
    }
    return glyph(character, fontHeight);
  };
  std::future<bool> ahead = std::async(std::launch::async, [&] { return workshop.FitAhead(style); });
  ASSERT_EQ(begun.get_future().wait_for(60s), std::future_status::ready);
  { std::lock_guard asked(workshop.fontLock()); }
  EXPECT_FALSE(ahead.get());
  const std::size_t drawnWhenStopped = test::Script().charactersAsked.size();
  EXPECT_LT(drawnWhenStopped, 6000u + 100u);  // it stopped within a glyph or two

  // Again, to the end: the first em heights are not drawn again.
  test::Script().sizedGlyph = glyph;
  test::Script().charactersAsked.clear();
  EXPECT_TRUE(workshop.FitAhead(style));
  EXPECT_LE(test::Script().charactersAsked.size(), drawnAfresh - oneHeight);
  test::Script().charactersAsked.clear();
  EXPECT_TRUE(same(workshop.Fit(style), afresh));
  EXPECT_TRUE(test::Script().charactersAsked.empty());
}

}  // namespace
}  // namespace qzf::studio
