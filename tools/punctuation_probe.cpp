// Prints where each punctuation setting puts the full-width marks of a face:
// for each cell size and mark, the ink box as the face draws it (design) and
// how far mainland and centred move it, drawn exactly as a build draws
// them (the default style).
//
//   punctuation_probe FACE
//
// FACE is UTF-8. Output lines:
//   SIZE MARK design L,T WxH mainland DX,DY centred DX,DY
// (L, T: the ink box's top left in the cell; DX right, DY down, in pixels).

#include <cstdio>
#include <vector>

#include "fontpatch/fullwidth_punctuation.h"
#include "fontpatch/glyph_renderer.h"
#include "fontpatch/punctuation_placement.h"
#include "platform/base/codepage.h"

int main(int argc, char** argv) {
  using namespace qzf;
  if (argc != 2) {
    std::fprintf(stderr, "usage: punctuation_probe FACE\n");
    return 2;
  }
  const auto face = Utf8ToGbk(argv[1]);
  if (!face) return 2;
  for (const GlyphSizeInfo& size : SizeModeTable) {
    GlyphRenderer renderer(RenderFace{*face}, size, GlyphStyle{});
    if (renderer.status() != GlyphRenderer::Status::kOk || !renderer.exactFace()) {
      std::fprintf(stderr, "no face %s\n", argv[1]);
      return 1;
    }
    for (const FullWidthMark& mark : kFullWidthPunctuation) {
      const auto glyph = renderer.Render(mark.gbk);
      if (!glyph || glyph->missing) {
        std::printf(
            "%u %s missing\n", static_cast<unsigned>(size.cellSize),
            GbkToUtf8Lossy(std::string{static_cast<char>(mark.gbk >> 8), static_cast<char>(mark.gbk & 0xFF)}).c_str());
        continue;
      }
      std::vector<unsigned char> cell(size.bytesPerCell);
      PackGlyphIntoCellBytes(cell, size, renderer.placement(), glyph->bitmap);
      std::vector<std::uint8_t> levels(std::size_t{size.cellSize} * size.cellSize);
      for (std::size_t i = 0; i < cell.size(); ++i) {
        levels[2 * i] = cell[i] & 0x0F;
        levels[2 * i + 1] = cell[i] >> 4;
      }
      const auto box = FindInkBox(levels, size.cellSize);
      if (!box) continue;
      const std::int32_t baseline = renderer.placement().baselineRow;
      const InkBox mainland = PlaceInkBox(PunctuationPlacement::kMainland, *box, size.cellSize, baseline);
      const InkBox centred = PlaceInkBox(PunctuationPlacement::kCentred, *box, size.cellSize, baseline);
      const std::string utf8 =
          GbkToUtf8Lossy(std::string{static_cast<char>(mark.gbk >> 8), static_cast<char>(mark.gbk & 0xFF)});
      std::printf("%u %s design %d,%d %dx%d baseline %d mainland %+d,%+d centred %+d,%+d\n",
                  static_cast<unsigned>(size.cellSize), utf8.c_str(), box->left, box->top, box->width(), box->height(),
                  baseline, mainland.left - box->left, mainland.top - box->top, centred.left - box->left,
                  centred.top - box->top);
    }
  }
  return 0;
}
