// The cost of one glyph as the rewrite pass asks for it (size query, then
// fetch) through the native GDI stand-ins, against FreeType alone loading and
// rendering the same glyph: the floor the stand-ins sit on.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

#include "bench/common_hanzi.h"
#include "platform/fontengine/cp936_table.h"
#include "platform/fontengine/font_match.h"
#include "platform/fontengine/freetype_handles.h"
#include "platform/portable/selected_font.h"
#include "platform/win32.h"

namespace {

constexpr char kFace[] = "Noto Sans CJK SC";

using qzf::bench::CommonHanzi;

void BM_GetGlyphOutline(benchmark::State& state) {
  const int height = static_cast<int>(state.range(0));
  qzf::FontRequest request;
  request.height = height;
  const qzf::SelectedFont font(kFace, request);
  HDC dc = font.dc();
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  const auto codes = CommonHanzi();
  std::vector<unsigned char> buffer;
  size_t i = 0;
  for (auto _ : state) {
    const unsigned code = codes[i++ % codes.size()];
    GLYPHMETRICS gm;
    const DWORD size = GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &identity);
    buffer.assign(size + 4, 0);
    benchmark::DoNotOptimize(GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &gm, size, buffer.data(), &identity));
  }
}
BENCHMARK(BM_GetGlyphOutline)->Arg(20)->Arg(24)->Arg(64);

// The size query alone: the glyph loaded and hinted, nothing rasterised.
void BM_GlyphMetrics(benchmark::State& state) {
  qzf::FontRequest request;
  request.height = static_cast<int>(state.range(0));
  const qzf::SelectedFont font(kFace, request);
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  const auto codes = CommonHanzi();
  size_t i = 0;
  for (auto _ : state) {
    GLYPHMETRICS gm;
    benchmark::DoNotOptimize(
        GetGlyphOutlineA(font.dc(), codes[i++ % codes.size()], GGO_METRICS, &gm, 0, nullptr, &identity));
  }
}
BENCHMARK(BM_GlyphMetrics)->Arg(20)->Arg(24)->Arg(64);

// FreeType by itself at the pixel sizes GDI picks for those heights.
void BM_FreeTypeFloor(benchmark::State& state) {
  const auto match = qzf::MatchInstalledFont(kFace, FW_NORMAL, false, GB2312_CHARSET);
  const auto library = qzf::ProcessFreeType();
  FT_Face raw = nullptr;
  if (!match || !library || FT_New_Face(library.get(), match->file.c_str(), match->index, &raw) != 0) {
    state.SkipWithError("no font");
    return;
  }
  qzf::FtFacePtr face(raw);
  FT_Set_Pixel_Sizes(raw, 0, static_cast<FT_UInt>(state.range(0)));
  const auto codes = CommonHanzi();
  size_t i = 0;
  for (auto _ : state) {
    const FT_UInt glyph = FT_Get_Char_Index(raw, qzf::Cp936ToUnicode(codes[i++ % codes.size()]));
    FT_Load_Glyph(raw, glyph, FT_LOAD_NO_BITMAP);
    benchmark::DoNotOptimize(FT_Render_Glyph(raw->glyph, FT_RENDER_MODE_NORMAL));
  }
}
BENCHMARK(BM_FreeTypeFloor)->Arg(14)->Arg(16)->Arg(44);

}  // namespace

BENCHMARK_MAIN();
