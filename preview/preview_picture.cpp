#include "preview/preview_picture.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "preview/font_file_cells.h"
#include "preview/picture_colours.h"
#include "preview/preview_lines.h"
#include "preview/text_pen.h"
#include "preview/text_picture.h"
#include "preview/utf8_text.h"

namespace qzf {
namespace {

constexpr std::uint32_t kMargin = 16;
constexpr std::uint32_t kLineHeight = 44;
constexpr std::uint32_t kLabelLine = 26;
constexpr std::uint32_t kMinimumWidth = 640;
// 20 and 24 pixel text is small on today's screens: shown at twice its size.
constexpr std::uint32_t kScales[] = {2, 2, 1};

const char* const kLines[] = {kPreviewLine1, kPreviewLine2, kPreviewLine3};

std::u32string PreviewText() {
  std::string gbk;
  for (const char* line : kLines) gbk += std::string(line) + "\n";
  return DecodeUtf8(GbkToUtf8(gbk).value_or("")).value_or(U"");
}

}  // namespace

std::optional<RgbPicture> DrawPreviewPicture(const char* faceName, std::span<const unsigned char> stock,
                                             std::span<const PreviewFont> built, const CharacterCodes& codes,
                                             const GlyphRenderOps* opsOrNull) {
  const GlyphRenderOps ops = ResolveGlyphRenderOps(opsOrNull);
  TextPen preview(ops, faceName, 32);
  if (!preview.ok()) return std::nullopt;

  const FontFileCells stockCells(stock);
  const std::u32string text = PreviewText();
  const TextLayout stockLayout = LayOutText(text, 40, codes, stockCells);
  // Reserved first: the blocks point into these.
  std::vector<FontFileCells> builtCells;
  std::vector<TextLayout> builtLayouts;
  builtCells.reserve(built.size());
  builtLayouts.reserve(built.size());
  for (const PreviewFont& font : built) {
    builtCells.emplace_back(font.image);
    builtLayouts.push_back(LayOutText(text, 40, codes, builtCells.back()));
  }
  const std::string face(faceName);
  std::vector<TextBlock> blocks;
  for (std::size_t t = 0; t < SizeModeTable.size(); ++t) {
    const std::string size = std::to_string(SizeModeTable[t].cellSize) + " px";
    blocks.push_back({size + ", stock file", &stockCells, &stockLayout, &SizeModeTable[t], kScales[t]});
    for (std::size_t f = 0; f < built.size(); ++f)
      blocks.push_back({size + ", " + built[f].label, &builtCells[f], &builtLayouts[f], &SizeModeTable[t], kScales[t]});
  }
  const TextPicture cells = DrawTextPicture(blocks, &ops);

  TextPen label(ops, kLabelFace, 20);
  const std::string caption = face + ", as the window shows it";
  std::int64_t lineWidth = label.Measure(caption);
  for (const char* line : kLines) lineWidth = std::max(lineWidth, preview.Measure(line) + 2 * kMargin);
  const std::uint32_t bandTop = kMargin + kLabelLine;
  const std::uint32_t header = bandTop + 3 * kLineHeight + kMargin;
  const std::uint32_t width =
      std::max({kMinimumWidth, cells.picture.width, static_cast<std::uint32_t>(lineWidth) + 2 * kMargin});
  Canvas canvas(width, header + cells.picture.height, kPictureBackground);
  label.Draw(canvas, kMargin, kMargin, caption, kLabelInk);
  canvas.Fill(kMargin, bandTop, width - 2 * kMargin, 3 * kLineHeight + kMargin / 2, kPreviewBand);
  for (std::uint32_t i = 0; i < 3; ++i)
    preview.Draw(canvas, 2 * kMargin, bandTop + kMargin / 2 + i * kLineHeight, kLines[i], kPreviewInk);
  canvas.Paste(cells.picture, 0, header);
  return canvas.Take();
}

}  // namespace qzf
