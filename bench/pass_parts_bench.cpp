// Micro-benchmarks of the parts of a build: one glyph rendered and packed per
// size, the dictionary text load, a million lookups, and the font file test.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/common_hanzi.h"
#include "dict/qorv_string_dict.h"
#include "fileutil/file_range.h"
#include "fontpatch/font_format.h"
#include "fontpatch/glyph_packing.h"
#include "platform/portable/selected_font.h"
#include "platform/win32.h"

namespace {

constexpr char kFace[] = "Noto Sans CJK SC";

std::vector<unsigned char> ReadWhole(const char* path) {
  qzf::ReadFileRangeArgs query;
  query.path = path;
  const std::uint32_t length = qzf::ReadFileRange(query);
  if (length == qzf::kFileRangeFailed) return {};
  std::vector<unsigned char> bytes(length);
  qzf::ReadFileRangeArgs read = query;
  read.buffer = bytes.data();
  read.size = length;
  if (qzf::ReadFileRange(read) != length) return {};
  return bytes;
}

const std::vector<unsigned char>& StockFont() {
  static const auto bytes = ReadWhole(QZF_BENCH_STOCK_FONT);
  return bytes;
}

const std::string& StockDictionaryText() {
  static const std::string text = [] {
    const auto bytes = ReadWhole(QZF_BENCH_STOCK_DICT);
    return std::string(bytes.begin(), bytes.end());
  }();
  return text;
}

using qzf::bench::CommonHanzi;

// As the pass does it: size query, fetch, pack into the size's cell.
void BM_GlyphRenderAndPack(benchmark::State& state) {
  const qzf::GlyphSizeInfo& size = qzf::SizeModeTable[static_cast<size_t>(state.range(0))];
  qzf::FontRequest request;
  request.height = size.fontHeight;
  const qzf::SelectedFont font(kFace, request);
  HDC dc = font.dc();
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  const auto codes = CommonHanzi();
  std::vector<unsigned char> image(qzf::kFontFileLength);
  std::vector<unsigned char> buffer;
  size_t i = 0;
  for (auto _ : state) {
    const unsigned code = codes[i++ % codes.size()];
    GLYPHMETRICS gm{};
    const DWORD needed = GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &identity);
    buffer.assign(needed + 4, 0);
    GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &gm, needed, buffer.data(), &identity);
    const qzf::GlyphBitmap bitmap{gm.gmBlackBoxX, gm.gmBlackBoxY, gm.gmptGlyphOrigin.x, gm.gmptGlyphOrigin.y, buffer};
    qzf::PackGlyphIntoCell(image, size, static_cast<std::uint32_t>(i % qzf::kIndexedGlyphCount), metrics.tmAscent,
                           bitmap);
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(size.cellSize) + " px");
}
BENCHMARK(BM_GlyphRenderAndPack)->Arg(0)->Arg(1)->Arg(2);

void BM_DictionaryTextLoad(benchmark::State& state) {
  const std::string& text = StockDictionaryText();
  for (auto _ : state) {
    qzf::QorvStringDict dictionary;
    benchmark::DoNotOptimize(dictionary.LoadFromTXTStringA(text.c_str()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DictionaryTextLoad)->Unit(benchmark::kMillisecond);

// A million lookups of the font file's own codes, as the passes make them.
void BM_MillionLookups(benchmark::State& state) {
  qzf::QorvStringDict dictionary;
  dictionary.LoadFromTXTStringA(StockDictionaryText().c_str());
  const auto& image = StockFont();
  std::vector<qzf::CodeKey> keys;
  for (std::uint32_t i = 0; i < qzf::kIndexedGlyphCount; ++i) keys.push_back(qzf::CodeKeyAt(image.data(), i));
  for (auto _ : state) {
    std::size_t found = 0;
    for (int n = 0; n < 1000000; ++n) found += dictionary.FindRecordA(keys[n % keys.size()].data()) != nullptr;
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_MillionLookups)->Unit(benchmark::kMillisecond);

void BM_AcceptanceTest(benchmark::State& state) {
  const auto& image = StockFont();
  for (auto _ : state) benchmark::DoNotOptimize(qzf::IsAcceptedFontImage(image.data(), image.size()));
}
BENCHMARK(BM_AcceptanceTest);

}  // namespace

BENCHMARK_MAIN();
