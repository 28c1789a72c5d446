#include "studio/build_job.h"

#include "platform/portable/codepage.h"

namespace qzf::studio {

class BuildJob::Observer final : public FontBuildObserver {
 public:
  explicit Observer(BuildJob& job) : job_(job) {}
  void MeasuringStarted(const GlyphSizeInfo& size) override {
    Set(static_cast<double>(measured_++) / 10.0, "测量 " + std::to_string(size.cellSize) + " 像素的字形");
  }
  void PassStarted(std::size_t index, const GlyphSizeInfo& size) override {
    pass_ = index;
    Set(Base(), "绘制 " + std::to_string(size.cellSize) + " 像素的字形");
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

bool BuildJob::Start(FontBuildRequest request, std::string outputName, std::mutex& fontLock) {
  std::lock_guard hold(mutex_);
  if (status_.running) return false;
  if (thread_.joinable()) thread_.join();
  status_ = BuildJobStatus{};
  status_.running = true;
  status_.phase = "准备";
  status_.outputName = std::move(outputName);
  thread_ =
      std::thread([this, request = std::move(request), &fontLock]() mutable { Run(std::move(request), fontLock); });
  return true;
}

void BuildJob::Run(FontBuildRequest request, std::mutex& fontLock) {
  Observer observer(*this);
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
  status_.phase = status_.ok ? "完成" : "失败";
  status_.message = status_.ok ? "新字体已保存为 " + status_.outputName : DescribeBuildFailure(result);
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

std::string DescribeBuildFailure(const FontBuildResult& result) {
  const std::string detail = GbkToUtf8Lossy(result.detail);
  switch (result.status) {
    case FontBuildStatus::kUnknownFace:
      return "没有名为该字体的已安装字体" +
             (result.faceUsed.empty() ? "" : "（最接近的是“" + GbkToUtf8Lossy(result.faceUsed) + "”）");
    case FontBuildStatus::kUnknownFallback:
      return "后备字体“" + detail + "”没有安装";
    case FontBuildStatus::kFontFileUnusable:
      return "字体文件“" + detail + "”里没有可用的字体";
    case FontBuildStatus::kBaseUnreadable:
      return "读不到原版字体文件";
    case FontBuildStatus::kBaseRefused:
      return "原版文件不是游戏字体文件（" + result.detail + "）";
    case FontBuildStatus::kDictionaryNotLoaded:
      return "码表无法使用" + (result.detail.empty() ? "" : "：" + result.detail);
    case FontBuildStatus::kOutputUnwritable:
      return "无法写入输出文件（文件夹是否存在、是否可写？）";
    case FontBuildStatus::kPassFailed:
      return result.detail + " 的绘制失败，文件没有写入";
    case FontBuildStatus::kNoEmbeddedData:
      return "程序里没有字体数据";
    case FontBuildStatus::kGlyphRefused:
      return "单字设置无法使用：" + result.detail;
    case FontBuildStatus::kOk:
      break;
  }
  return "生成失败";
}

}  // namespace qzf::studio
