#include "fontbuild/pass_cells.h"

namespace qzf {

void StartPassCells(std::optional<CellDrawing>& drawing, const RenderFace& face,
                    const std::vector<RenderFace>& fallbacks, const PassStyles& styles,
                    const std::vector<std::uint16_t>& characters, const GlyphRenderOps* ops, unsigned threads) {
  std::vector<GlyphTask> tasks;
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i) tasks.push_back(GlyphTask{SizeModeTable[i], styles.styles[i]});
  drawing.emplace(face, fallbacks, tasks, EachCharacterOnce(characters), ops, threads);
}

}  // namespace qzf
