#include "cli/build_progress.h"

#include "cli/cli_language.h"
#include "cli/terminal.h"
#include "fontpatch/pass_messages.h"

namespace qzf::cli {

BuildProgress::BuildProgress(std::FILE* out, Mode mode) : out_(out), mode_(mode) {}

void BuildProgress::PassStarted(std::size_t index, const GlyphSizeInfo& size) {
  Finish();
  pass_ = index;
  cellSize_ = size.cellSize;
  rendered_ = 0;
  lastPercent_ = -1;
  if (mode_ == Mode::kLines) {
    std::fprintf(out_, "%s\n",
                 Text(MessageId::kProgressPass, std::to_string(index + 1), std::to_string(size.cellSize)).c_str());
    std::fflush(out_);
  } else if (mode_ == Mode::kBar) {
    Draw(0, 1);
  }
}

void BuildProgress::MeasuringStarted(const GlyphSizeInfo& size) {
  if (mode_ == Mode::kQuiet) return;
  Finish();
  std::fprintf(out_, "%s\n", Text(MessageId::kProgressMeasuring, std::to_string(size.cellSize)).c_str());
  std::fflush(out_);
}

void BuildProgress::Message(std::string_view gbk) {
  // The pass's closing "ok!!!" is said by the summary instead.
  if (gbk == pass_text::kPassDone) return;
  Finish();
  std::string text = ToTerminal(gbk);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

// The glyphs are drawn before the pass packs them: the bar follows the
// drawing, then stays full while the pass counts its cells.
void BuildProgress::CellsDrawn(std::size_t, std::uint32_t done, std::uint32_t total) {
  if (mode_ == Mode::kBar) Draw(done, total);
}

void BuildProgress::GlyphRendered(std::uint32_t position, std::uint32_t count) {
  ++rendered_;
  if (mode_ == Mode::kBar) Draw(position + 1, count);
}

void BuildProgress::Draw(std::uint32_t position, std::uint32_t count) {
  const int percent = count ? static_cast<int>(std::uint64_t{position} * 100 / count) : 100;
  if (percent <= lastPercent_) return;
  lastPercent_ = percent;
  constexpr int kWidth = 30;
  const int filled = percent * kWidth / 100;
  std::fprintf(out_, "\r  %2u px [%.*s%*s] %3d%%  %s", static_cast<unsigned>(cellSize_), filled,
               "##############################", kWidth - filled, "", percent,
               Text(MessageId::kProgressGlyphCount, std::to_string(rendered_)).c_str());
  std::fflush(out_);
  lineOpen_ = true;
}

void BuildProgress::Finish() {
  if (lineOpen_) {
    lastPercent_ = -1;  // the last drawing, with the final count
    Draw(1, 1);
    std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
  }
}

}  // namespace qzf::cli
