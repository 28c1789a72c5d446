#include "fontpatch/glyph_batch.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "platform/portable/wine_host.h"

namespace qzf {
namespace {

// Glyphs handed out at a time: short enough that the workers finish a task
// together, long enough that handing out costs nothing.
constexpr std::uint32_t kRunLength = 48;
constexpr unsigned kMostWorkers = 8;

}  // namespace

unsigned GlyphWorkerCount(const GlyphRenderOps* ops, unsigned requested) {
  if (requested > 0) return std::min(requested, 64u);
  // Under Wine the waiting thread draws fastest: every worker beside it,
  // one included, slows down both the drawing and the file's reads and
  // writes (measured).
  if (ops != nullptr || RunsUnderWine()) return 0;
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers);
}

GlyphBatch::GlyphBatch(GlyphBatchRequest request, Visit visit)
    : request_(std::move(request)), visit_(std::move(visit)), tasks_(request_.tasks.size()) {
  const auto characters = static_cast<std::uint32_t>(request_.characters.size());
  runsPerTask_ = (characters + kRunLength - 1) / kRunLength;
  runCount_ = runsPerTask_ * static_cast<std::uint32_t>(request_.tasks.size());
  // Even one worker lets the caller go on (reading and writing the file)
  // while the glyphs are drawn.
  const unsigned threads = std::min(GlyphWorkerCount(request_.ops, request_.threads), runCount_);
  for (unsigned i = 0; i < threads; ++i) {
    try {
      workers_.emplace_back([this] { WorkerLoop(); });
    } catch (const std::system_error&) {
      break;  // fewer workers, or none: then the waiting thread draws
    }
  }
}

GlyphBatch::~GlyphBatch() {
  stopping_ = true;
  for (std::thread& worker : workers_) worker.join();
}

std::unique_ptr<GlyphRenderer> GlyphBatch::MakeRenderer(std::size_t task) {
  const GlyphTask& t = request_.tasks[task];
  auto renderer = std::make_unique<GlyphRenderer>(request_.face, t.size, t.style, request_.fallbackFaces, request_.ops);
  std::lock_guard lock(mutex_);
  std::optional<GlyphTaskInfo>& info = tasks_[task].info;
  if (!info) {
    info = GlyphTaskInfo{renderer->status(), renderer->status() == GlyphRenderer::Status::kOk && renderer->exactFace(),
                         renderer->placement()};
  } else if (info->status == GlyphRenderer::Status::kOk && renderer->status() != GlyphRenderer::Status::kOk) {
    // A worker without its font leaves its glyphs undrawn: the task fails.
    info->status = renderer->status();
  }
  return renderer;
}

void GlyphBatch::DrawRun(std::uint32_t run, std::unique_ptr<GlyphRenderer>& renderer, std::size_t& rendererTask) {
  const std::size_t task = run / runsPerTask_;
  const std::size_t begin = static_cast<std::size_t>(run % runsPerTask_) * kRunLength;
  const std::size_t end = std::min(begin + kRunLength, request_.characters.size());
  if (!renderer || rendererTask != task) {
    renderer.reset();  // one font at a time per worker
    renderer = MakeRenderer(task);
    rendererTask = task;
  }
  if (renderer->status() == GlyphRenderer::Status::kOk) {
    for (std::size_t i = begin; i < end; ++i) {
      const std::optional<RenderedGlyph> glyph = renderer->Render(request_.characters[i]);
      visit_(task, i, glyph, renderer->placement());
    }
  }
  std::lock_guard lock(mutex_);
  ++tasks_[task].chunksDone;
  tasks_[task].glyphsDone += static_cast<std::uint32_t>(end - begin);
  changed_.notify_all();
}

bool GlyphBatch::Enough() const { return request_.enough != nullptr && request_.enough->load(); }

void GlyphBatch::WorkerLoop() {
  std::unique_ptr<GlyphRenderer> renderer;
  std::size_t rendererTask = 0;
  while (!stopping_ && !Enough()) {
    const std::uint32_t run = nextRun_.fetch_add(1);
    if (run >= runCount_) break;
    DrawRun(run, renderer, rendererTask);
  }
}

GlyphTaskInfo GlyphBatch::Wait(std::size_t task, const Progress& progress) {
  const auto total = static_cast<std::uint32_t>(request_.characters.size());
  if (workers_.empty()) {
    // Every run up to the end of this task, here and in order.
    const auto last = static_cast<std::uint32_t>(task + 1) * runsPerTask_;
    for (std::uint32_t run = nextRun_; run < last && !Enough(); run = ++nextRun_) {
      DrawRun(run, inlineRenderer_, inlineTask_);
      if (progress) progress(tasks_[task].glyphsDone, total);
    }
  } else {
    std::unique_lock lock(mutex_);
    while (tasks_[task].chunksDone < runsPerTask_ && !Enough()) {
      changed_.wait_for(lock, std::chrono::milliseconds(40));
      if (progress) {
        const std::uint32_t done = tasks_[task].glyphsDone;
        lock.unlock();
        progress(done, total);
        lock.lock();
      }
    }
  }
  {
    std::lock_guard lock(mutex_);
    if (tasks_[task].info) return *tasks_[task].info;
  }
  // No glyph to draw: a renderer made here tells what the task's font is.
  MakeRenderer(task);
  std::lock_guard lock(mutex_);
  return *tasks_[task].info;
}

}  // namespace qzf
