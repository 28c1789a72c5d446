// The build's fourth stage: the three rewrite passes over the work file, one
// per size, each taking its cells from the drawing when there is one.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "fontbuild/font_build.h"
#include "fontbuild/own_cells.h"
#include "fontbuild/pass_styles.h"
#include "fontpatch/cell_drawing.h"
#include "fontpatch/patch_pass.h"

namespace qzf {

struct PassRunRequest {
  const char* faceName = "";        // GBK
  const char* workPath = "";        // the file the passes rewrite
  const char* dictionaryPath = "";  // for a pass without a loaded dictionary
  PatchPassOptions options;         // all but the style and the cells
  const PassStyles* styles = nullptr;
  CellDrawing* drawing = nullptr;       // null: each pass draws its own cells
  const OwnCells* overrides = nullptr;  // single characters' own cells, per size
  // Stop at the first pass that fails; otherwise every pass runs whatever
  // the one before it did.
  bool stopAtFirstFailure = true;
};

// Each pass's result into `passes`; the first pass that failed, if any.
std::optional<std::size_t> RunPasses(const PassRunRequest& request, FontBuildObserver& observer,
                                     std::array<FontBuildPass, SizeModeTable.size()>& passes);

}  // namespace qzf
