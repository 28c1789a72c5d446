// The build's third stage: every size's cells drawn on every core, in the
// background, while the file is laid down and the passes before them run.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fontbuild/pass_styles.h"
#include "fontpatch/cell_drawing.h"

namespace qzf {

// Starts the drawing of `characters` (GBK, in dictionary order, repeats
// allowed) at each size in its pass's style, into `drawing`.
void StartPassCells(std::optional<CellDrawing>& drawing, const RenderFace& face,
                    const std::vector<RenderFace>& fallbacks, const PassStyles& styles,
                    const std::vector<std::uint16_t>& characters, const GlyphRenderOps* ops, unsigned threads);

}  // namespace qzf
