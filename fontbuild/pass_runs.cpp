#include "fontbuild/pass_runs.h"

namespace qzf {

std::optional<std::size_t> RunPasses(const PassRunRequest& request, FontBuildObserver& observer,
                                     std::array<FontBuildPass, SizeModeTable.size()>& passes) {
  PatchPassOptions options = request.options;
  options.reporter = &observer;
  std::optional<std::size_t> failedPass;
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
    FontBuildPass& pass = passes[i];
    options.style = request.styles ? &request.styles->styles[i] : nullptr;
    observer.PassStarted(i, SizeModeTable[i]);
    options.overrides = request.overrides ? &(*request.overrides)[i] : nullptr;
    options.cells = nullptr;
    if (CellDrawing* drawing = request.drawing) {
      options.cells = [drawing, &observer, i]() -> const RenderedCells& {
        return drawing->Wait(i, [&](std::uint32_t done, std::uint32_t total) { observer.CellsDrawn(i, done, total); });
      };
    }
    pass.result =
        RunPatchPass(pass.mode, pass.fontHeight, request.faceName, request.workPath, request.dictionaryPath, options);
    if (pass.result.status != PatchPassStatus::kOk && !failedPass) {
      failedPass = i;
      if (request.stopAtFirstFailure) break;
    }
  }
  return failedPass;
}

}  // namespace qzf
