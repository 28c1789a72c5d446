// A text of 3000 characters drawn from the stock file's cells, as `qzffont
// render` draws it: laid out, drawn, encoded as a PNG.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "fontpatch/font_file_report.h"
#include "platform/base/codepage.h"
#include "preview/font_file_cells.h"
#include "preview/png_encoder.h"
#include "preview/text_picture.h"
#include "preview/utf8_text.h"

namespace {

constexpr std::size_t kCharacters = 3000;

struct Inputs {
  std::vector<unsigned char> font = qzf::ReadWholeFile(QZF_BENCH_STOCK_FONT).value_or(std::vector<unsigned char>{});
  qzf::QorvStringDict dictionary;
  std::u32string text;

  Inputs() {
    // From a string: the loader reads a path without backslashes as a name.
    const auto bytes = qzf::ReadWholeFile(QZF_BENCH_STOCK_DICT).value_or(std::vector<unsigned char>{});
    dictionary.LoadFromTXTStringA(std::string(bytes.begin(), bytes.end()).c_str());
    // The dictionary's own characters, in its order: every one has a cell.
    std::string gbk;
    for (std::uint32_t i = 0; i < dictionary.count() && gbk.size() < 2 * kCharacters; ++i) {
      const qzf::DictRecord& entry = dictionary.records()[i];
      if (entry.CHILength >= 2 && static_cast<unsigned char>(entry.CHI[0]) >= 0x81) gbk.append(entry.CHI, 2);
    }
    text = qzf::DecodeUtf8(qzf::GbkToUtf8(gbk).value_or("")).value_or(U"");
  }
};

const Inputs& Stock() {
  static const Inputs inputs;
  return inputs;
}

void BM_RenderText(benchmark::State& state) {
  const Inputs& in = Stock();
  const qzf::GlyphSizeInfo& size = qzf::SizeModeTable[static_cast<std::size_t>(state.range(0))];
  const qzf::FontFileCells cells(in.font);
  const qzf::CharacterCodes codes(in.dictionary);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const qzf::TextLayout layout = qzf::LayOutText(in.text, 40, codes, cells);
    const qzf::TextBlock block{"", &cells, &layout, &size, 1};
    const qzf::TextPicture picture = qzf::DrawTextPicture({&block, 1});
    bytes = qzf::EncodePng(picture.picture.rgb, picture.picture.width, picture.picture.height, 3).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["characters"] = static_cast<double>(in.text.size());
  state.counters["png_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RenderText)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// What is built once per run: the code positions and the dictionary's map.
void BM_RenderSetUp(benchmark::State& state) {
  const Inputs& in = Stock();
  for (auto _ : state) {
    const qzf::FontFileCells cells(in.font);
    const qzf::CharacterCodes codes(in.dictionary);
    benchmark::DoNotOptimize(&codes);
  }
}
BENCHMARK(BM_RenderSetUp)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
