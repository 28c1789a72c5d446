#include "studio/build_job.h"

#include "fontbuild/build_failure_text.h"
#include "platform/base/codepage.h"
#include "platform/portable/system_path.h"
#include "studio/studio_language.h"

namespace qzf::studio {

class BuildJob::Observer final : public FontBuildObserver {
 public:
  explicit Observer(BuildJob& job) : job_(job) {}
  void MeasuringStarted(const GlyphSizeInfo& size) override {
    Set(static_cast<double>(measured_++) / 10.0, Text(MessageId::kPhaseMeasuring, std::to_string(size.cellSize)));
  }
  void PassStarted(std::size_t index, const GlyphSizeInfo& size) override {
    pass_ = index;
    Set(Base(), Text(MessageId::kPhaseDrawing, std::to_string(size.cellSize)));
  }
  void Message(std::string_view) override {}
  // The glyphs are drawn ahead of the pass, which then only packs them.
  void CellsDrawn(std::size_t, std::uint32_t done, std::uint32_t total) override {
    if (total == 0) return;
    std::lock_guard hold(job_.mutex_);
    job_.status_.progress = Base() + (1.0 - kMeasureShare) / 3.0 * done / total;
  }
  void GlyphRendered(std::uint32_t, std::uint32_t) override {}

 private:
  static constexpr double kMeasureShare = 0.3;
  double Base() const { return kMeasureShare * (measured_ > 0 ? 1 : 0) + (1.0 - kMeasureShare) / 3.0 * pass_; }
  void Set(double progress, std::string phase) {
    std::lock_guard hold(job_.mutex_);
    job_.status_.progress = progress;
    job_.status_.phase = std::move(phase);
  }

  BuildJob& job_;
  std::size_t pass_ = 0;
  int measured_ = 0;
};

BuildJob::~BuildJob() { Wait(); }

bool BuildJob::Start(FontBuildRequest request, std::string outputName, FontLock& fontLock) {
  std::lock_guard hold(mutex_);
  if (status_.running) return false;
  if (thread_.joinable()) thread_.join();
  status_ = BuildJobStatus{};
  status_.running = true;
  status_.phase = Text(MessageId::kPhasePreparing);
  status_.outputName = std::move(outputName);
  thread_ =
      std::thread([this, request = std::move(request), &fontLock]() mutable { Run(std::move(request), fontLock); });
  return true;
}

void BuildJob::Run(FontBuildRequest request, FontLock& fontLock) {
  Observer observer(*this);
  BuildFailureNames names;
  names.face = GbkToUtf8Lossy(request.faceName);
  names.base = SystemPathToUtf8(request.basePath);
  names.dictionary = SystemPathToUtf8(request.dictionaryPath);
  FontBuildResult result;
  {
    std::lock_guard fonts(fontLock);
    result = BuildFont(request, observer);
  }
  std::lock_guard hold(mutex_);
  status_.running = false;
  status_.finished = true;
  status_.progress = 1;
  status_.ok = result.status == FontBuildStatus::kOk;
  status_.phase = Text(status_.ok ? MessageId::kPhaseDone : MessageId::kPhaseFailed);
  names.output = status_.outputName;
  names.fontFile = SystemPathToUtf8(result.detail);
  status_.message = status_.ok ? Text(MessageId::kFontSaved, status_.outputName)
                               : BuildFailureText(result, names, MessageLanguage::kChinese);
  status_.result = std::move(result);
}

BuildJobStatus BuildJob::Status() const {
  std::lock_guard hold(mutex_);
  return status_;
}

void BuildJob::Wait() {
  std::thread thread;
  {
    std::lock_guard hold(mutex_);
    thread = std::move(thread_);
  }
  if (thread.joinable()) thread.join();
}

}  // namespace qzf::studio
