// Glyphs drawn on several threads: each glyph told once, whatever the number
// of threads; cells the same as on one thread, from computed glyphs and from
// the platform's own font calls; a font that cannot be had fails its task.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "fontpatch/cell_drawing.h"
#include "fontpatch/glyph_batch.h"
#include "platform/base/codepage.h"
#include "tests/support/installed_face.h"

namespace qzf {
namespace {

// Glyphs computed from their character alone, safe on any number of threads:
// a box of 1..9 by 1..7 pixels, its levels and origin from the code.
std::atomic<int> fontsMade{0};
std::atomic<int> failFontNumber{-1};  // the font (counted from 0) that cannot be created
std::atomic<int> fontsDeleted{0};
char fakeFont, fakeDc;

HFONT WINAPI ComputedFont(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, LPCSTR) {
  const int number = fontsMade++;
  return number == failFontNumber ? nullptr : reinterpret_cast<HFONT>(&fakeFont);
}
HDC WINAPI ComputedDc(HDC) { return reinterpret_cast<HDC>(&fakeDc); }
HGDIOBJ WINAPI ComputedSelect(HDC, HGDIOBJ) { return nullptr; }
BOOL WINAPI ComputedMetrics(HDC, LPTEXTMETRICA metrics) {
  *metrics = TEXTMETRICA{};
  metrics->tmAscent = 15;
  return TRUE;
}
DWORD WINAPI ComputedOutline(HDC, UINT c, UINT, LPGLYPHMETRICS metrics, DWORD size, LPVOID buffer, const MAT2*) {
  if (c % 97 == 0) return GDI_ERROR;  // some queries fail
  const std::uint32_t width = 1 + c % 9, height = 1 + c % 7, pitch = (width + 3) / 4 * 4;
  metrics->gmBlackBoxX = width;
  metrics->gmBlackBoxY = height;
  metrics->gmptGlyphOrigin.x = static_cast<LONG>(c % 5) - 1;
  metrics->gmptGlyphOrigin.y = static_cast<LONG>(c % 13);
  const DWORD needed = pitch * height;
  if (buffer == nullptr || size == 0) return needed;
  if (size < needed) return GDI_ERROR;
  auto* out = static_cast<unsigned char*>(buffer);
  for (DWORD i = 0; i < needed; ++i) out[i] = static_cast<unsigned char>((c + i * 7) % 17);
  return needed;
}
// One double-byte character, one glyph: every eleventh is missing.
DWORD WINAPI ComputedIndices(HDC, LPCSTR text, int length, LPWORD indices, DWORD) {
  if (length != 2) return GDI_ERROR;
  const unsigned code = static_cast<unsigned char>(text[0]) * 256u + static_cast<unsigned char>(text[1]);
  indices[0] = code % 11 == 0 ? 0xFFFF : 1;
  return 1;
}
int WINAPI ComputedFace(HDC, int size, LPSTR face) {
  if (size < 9) return 0;
  std::memcpy(face, "Computed", 9);
  return 8;
}
BOOL WINAPI ComputedDeleteDc(HDC) { return TRUE; }
BOOL WINAPI ComputedDeleteObject(HGDIOBJ) {
  ++fontsDeleted;
  return TRUE;
}
DWORD WINAPI ComputedIndicesW(HDC, LPCWSTR, int length, LPWORD indices, DWORD) {
  for (int i = 0; i < length; ++i) indices[i] = 1;
  return static_cast<DWORD>(length);
}

const GlyphRenderOps kComputed{&ComputedFont,         &ComputedDc,      &ComputedSelect, &ComputedMetrics,
                               &ComputedOutline,      &ComputedIndices, &ComputedFace,   &ComputedDeleteDc,
                               &ComputedDeleteObject, &ComputedIndicesW};

std::vector<std::uint16_t> Characters(std::size_t count) {
  std::vector<std::uint16_t> characters;
  for (std::size_t i = 0; i < count; ++i) characters.push_back(static_cast<std::uint16_t>(0xB0A1 + i));
  return characters;
}

std::vector<GlyphTask> ThreeSizes(const GlyphStyle& style = {}) {
  std::vector<GlyphTask> tasks;
  for (const GlyphSizeInfo& size : SizeModeTable) tasks.push_back(GlyphTask{size, style});
  return tasks;
}

class GlyphBatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fontsMade = 0;
    fontsDeleted = 0;
    failFontNumber = -1;
  }
};

TEST_F(GlyphBatchTest, EveryGlyphOfEveryTaskIsToldOnceWhateverTheThreads) {
  // 0: no worker (the caller's own calls): the waiting thread draws.
  for (const unsigned threads : {0u, 1u, 2u, 5u}) {
    for (const std::size_t count :
         {std::size_t{0}, std::size_t{1}, std::size_t{47}, std::size_t{48}, std::size_t{49}, std::size_t{1000}}) {
      SCOPED_TRACE(testing::Message() << threads << " threads, " << count << " characters");
      std::vector<std::atomic<int>> told(3 * count);
      std::atomic<int> failed{0};
      {
        GlyphBatchRequest request;
        request.face = RenderFace{"Computed"};
        request.tasks = ThreeSizes();
        request.characters = Characters(count);
        request.ops = &kComputed;
        request.threads = threads;
        GlyphBatch batch(request, [&](std::size_t task, std::size_t index, const std::optional<RenderedGlyph>& glyph,
                                      const CellPlacement& placement) {
          ++told[task * count + index];
          if (!glyph) ++failed;
          EXPECT_EQ(placement.baselineRow, 15);
        });
        for (std::size_t task = 0; task < 3; ++task) {
          const GlyphTaskInfo info = batch.Wait(task);
          EXPECT_EQ(info.status, GlyphRenderer::Status::kOk);
          EXPECT_EQ(info.placement.baselineRow, 15);
          for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(told[task * count + i], 1) << "task " << task << " #" << i;
        }
      }
      int expectedFailures = 0;
      for (const std::uint16_t c : Characters(count)) expectedFailures += c % 97 == 0 ? 3 : 0;
      EXPECT_EQ(failed, expectedFailures);
      // Every font made was let go when the batch ended.
      EXPECT_EQ(fontsDeleted, fontsMade);
    }
  }
}

// A visit that has seen enough ends the wait early: the glyphs told stop
// within a run or two per thread of the one that said so, and the batch ends
// cleanly, every font let go.
TEST_F(GlyphBatchTest, AWaitEndsWhenAVisitHasSeenEnough) {
  for (const unsigned threads : {0u, 1u, 2u}) {
    SCOPED_TRACE(testing::Message() << threads << " threads");
    SetUp();
    std::atomic<int> told{0};
    std::atomic<bool> enough{false};
    {
      GlyphBatchRequest request;
      request.face = RenderFace{"Computed"};
      request.tasks = ThreeSizes();
      request.characters = Characters(3000);
      request.ops = &kComputed;
      request.threads = threads;
      request.enough = &enough;
      GlyphBatch batch(request,
                       [&](std::size_t, std::size_t, const std::optional<RenderedGlyph>&, const CellPlacement&) {
                         if (++told >= 100) enough = true;
                       });
      EXPECT_EQ(batch.Wait(0).status, GlyphRenderer::Status::kOk);
      EXPECT_TRUE(enough);
    }
    // Runs are 48 glyphs: each thread ends the one it is in.
    EXPECT_LE(told, 100 + 48 * (1 + static_cast<int>(threads)));
    EXPECT_EQ(fontsDeleted, fontsMade);
  }
}

TEST_F(GlyphBatchTest, CellsAreTheSameOnOneThreadAndOnMany) {
  GlyphStyle style;
  style.shiftX = 1;  // an odd shift: pixels packed one at a time
  style.gamma = 1.7;
  const auto characters = Characters(700);
  CellDrawing one(RenderFace{"Computed"}, {}, ThreeSizes(style), characters, &kComputed, 0);
  CellDrawing many(RenderFace{"Computed"}, {}, ThreeSizes(style), characters, &kComputed, 4);
  for (std::size_t size = 0; size < 3; ++size) {
    const RenderedCells& a = one.Wait(size);
    const RenderedCells& b = many.Wait(size);
    ASSERT_TRUE(a.prepared() && b.prepared());
    std::size_t drawn = 0, missing = 0, cut = 0;
    for (const std::uint16_t c : characters) {
      const auto x = a.Find(c), y = b.Find(c);
      ASSERT_TRUE(x && y);
      EXPECT_EQ(x->drawing->drawn, y->drawing->drawn) << c;
      EXPECT_EQ(x->drawing->missing, y->drawing->missing) << c;
      EXPECT_EQ(x->drawing->droppedInk, y->drawing->droppedInk) << c;
      ASSERT_TRUE(std::equal(x->bytes.begin(), x->bytes.end(), y->bytes.begin())) << "cell of " << c;
      drawn += x->drawing->drawn;
      missing += x->drawing->missing;
      cut += x->drawing->droppedInk != 0;
    }
    // The comparison covered failed queries, missing glyphs and (where the
    // glyphs reach below the 20 px cell) cut ink.
    EXPECT_LT(drawn, characters.size());
    EXPECT_GT(missing, 0u);
    if (size == 0) {
      EXPECT_GT(cut, 0u);
    }
  }
  EXPECT_FALSE(one.Wait(0).Find(0xA1A1));  // not among the characters
}

TEST_F(GlyphBatchTest, AFontThatCannotBeHadFailsItsTaskAndNoOther) {
  // The waiting thread makes one font per task, in order: the second is the
  // 24 px one.
  failFontNumber = 1;
  CellDrawing drawing(RenderFace{"Computed"}, {}, ThreeSizes(), Characters(100), &kComputed, 0);
  EXPECT_EQ(drawing.Wait(0).info.status, GlyphRenderer::Status::kOk);
  EXPECT_EQ(drawing.Wait(1).info.status, GlyphRenderer::Status::kFontCreationFailed);
  EXPECT_EQ(drawing.Wait(2).info.status, GlyphRenderer::Status::kOk);
  EXPECT_FALSE(drawing.Wait(1).Find(0xB0A1)->drawing->drawn);

  // On several threads the worker that could not have its font fails the
  // task, whatever the others drew.
  fontsMade = 0;
  failFontNumber = 0;
  CellDrawing many(RenderFace{"Computed"}, {}, {GlyphTask{SizeModeTable[0], {}}}, Characters(400), &kComputed, 3);
  EXPECT_EQ(many.Wait(0).info.status, GlyphRenderer::Status::kFontCreationFailed);
}

TEST_F(GlyphBatchTest, ATaskWithoutGlyphsStillTellsWhatItsFontIs) {
  CellDrawing drawing(RenderFace{"Computed"}, {}, ThreeSizes(), {}, &kComputed, 4);
  const RenderedCells& cells = drawing.Wait(2);
  EXPECT_EQ(cells.info.status, GlyphRenderer::Status::kOk);
  EXPECT_EQ(cells.info.placement.baselineRow, 15);
  failFontNumber = fontsMade.load();
  CellDrawing failing(RenderFace{"Computed"}, {}, ThreeSizes(), {}, &kComputed, 4);
  EXPECT_EQ(failing.Wait(0).info.status, GlyphRenderer::Status::kFontCreationFailed);
}

// The platform's font calls (GDI on Windows, the stand-ins natively) give
// every cell the same on many threads as on one: nothing of one worker's
// font leaks into another's.
TEST(GlyphBatchPlatformTest, AnInstalledFaceDrawsTheSameCellsOnManyThreads) {
  QZF_REQUIRE_FACE("Noto Sans CJK SC");
  QZF_REQUIRE_FACE("WenQuanYi Micro Hei");
  std::vector<std::uint16_t> characters;
  for (unsigned lead = 0xB0; lead <= 0xF7; lead += 3)
    for (unsigned trail = 0xA1; trail <= 0xFE; trail += 9)
      characters.push_back(static_cast<std::uint16_t>(lead << 8 | trail));
  for (const char* face : {"Noto Sans CJK SC", "WenQuanYi Micro Hei"}) {
    for (const bool variant : {false, true}) {
      GlyphStyle style;
      if (variant) {
        style.weight = 700;
        style.italic = true;
      }
      const std::string gbk = Utf8ToGbk(face).value_or(face);
      CellDrawing one(RenderFace{gbk}, {}, ThreeSizes(style), characters, nullptr, 1);  // one worker
      CellDrawing many(RenderFace{gbk}, {}, ThreeSizes(style), characters, nullptr, 4);
      for (std::size_t size = 0; size < 3; ++size) {
        SCOPED_TRACE(testing::Message() << face << (variant ? " bold italic " : " ") << SizeModeTable[size].cellSize);
        const RenderedCells& a = one.Wait(size);
        const RenderedCells& b = many.Wait(size);
        ASSERT_EQ(a.info.status, GlyphRenderer::Status::kOk);
        ASSERT_EQ(b.info.status, GlyphRenderer::Status::kOk);
        EXPECT_TRUE(a.info.exactFace);
        EXPECT_TRUE(b.info.exactFace);
        std::size_t inked = 0;
        for (const std::uint16_t c : characters) {
          const auto x = a.Find(c), y = b.Find(c);
          ASSERT_TRUE(x && y && x->drawing->drawn && y->drawing->drawn);
          ASSERT_TRUE(std::equal(x->bytes.begin(), x->bytes.end(), y->bytes.begin())) << "cell of " << std::hex << c;
          inked += std::any_of(x->bytes.begin(), x->bytes.end(), [](unsigned char v) { return v != 0; });
        }
        EXPECT_GT(inked, characters.size() * 9 / 10);
      }
    }
  }
}

}  // namespace
}  // namespace qzf
