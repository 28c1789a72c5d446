// Progress of a font build on standard error: a bar that redraws in place on
// a terminal, one plain line per pass otherwise, nothing when quiet. The
// passes' own messages are shown in UTF-8 whatever the mode.
#pragma once

#include <cstdio>
#include <string>

#include "fontbuild/font_build.h"

namespace qzf::cli {

class BuildProgress final : public FontBuildObserver {
 public:
  enum class Mode { kBar, kLines, kQuiet };
  BuildProgress(std::FILE* out, Mode mode);
  void PassStarted(std::size_t index, const GlyphSizeInfo& size) override;
  void MeasuringStarted(const GlyphSizeInfo& size) override;
  void Message(std::string_view gbk) override;
  void CellsDrawn(std::size_t index, std::uint32_t done, std::uint32_t total) override;
  void GlyphRendered(std::uint32_t position, std::uint32_t count) override;
  // Ends the bar's line.
  void Finish();

 private:
  void Draw(std::uint32_t position, std::uint32_t count);

  std::FILE* out_;
  Mode mode_;
  std::size_t pass_ = 0;
  std::uint32_t cellSize_ = 0;
  std::uint32_t rendered_ = 0;
  int lastPercent_ = -1;
  bool lineOpen_ = false;
};

}  // namespace qzf::cli
