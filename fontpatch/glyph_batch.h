// Many glyphs drawn on every core: the same characters in one or more styled
// sizes (the tasks), handed out to worker threads in short runs, tasks in
// order, so that the first task is finished first. Each worker draws with a
// renderer of its own per task (its own font and memory context, as GDI
// wants one context per thread), and a glyph's bitmap is the same whichever
// worker draws it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "fontpatch/glyph_renderer.h"

namespace qzf {

struct GlyphTask {
  GlyphSizeInfo size{};
  GlyphStyle style;
};

struct GlyphBatchRequest {
  RenderFace face;
  std::vector<RenderFace> fallbackFaces;
  std::vector<GlyphTask> tasks;
  std::vector<std::uint16_t> characters;  // GBK codes, lead byte high; drawn for every task
  const GlyphRenderOps* ops = nullptr;    // null: the platform's font calls
  // Worker threads; 0: as GlyphWorkerCount says. Without workers the
  // glyphs are drawn in order on the thread that waits for them.
  unsigned threads = 0;
  // Once a visit sets this, no more glyphs are handed out (each thread ends
  // the short run it is in) and Wait returns with glyphs left untold: for a
  // caller that has seen enough. The batch is then only for destroying.
  const std::atomic<bool>* enough = nullptr;
};

// What the renderers of a task say of their font (the first one made).
struct GlyphTaskInfo {
  GlyphRenderer::Status status = GlyphRenderer::Status::kOk;
  bool exactFace = false;
  CellPlacement placement{};
};

// The worker threads to start: `requested` when given; else one per core,
// at most eight, for the platform's font calls on Windows and natively, and
// none under Wine (see RunsUnderWine) or for the caller's own calls, which
// need not be safe on several threads.
unsigned GlyphWorkerCount(const GlyphRenderOps* ops, unsigned requested = 0);

class GlyphBatch {
 public:
  // Told of every glyph once, on the thread that drew it: task, index in the
  // characters, the glyph (nullopt when its query failed) and the placement
  // of the renderer that drew it. Different glyphs may be told at the same
  // time. A task whose font cannot be had tells nothing.
  using Visit = std::function<void(std::size_t task, std::size_t index, const std::optional<RenderedGlyph>& glyph,
                                   const CellPlacement& placement)>;
  using Progress = std::function<void(std::uint32_t done, std::uint32_t total)>;

  // Starts the workers.
  GlyphBatch(GlyphBatchRequest request, Visit visit);
  // Stops handing out glyphs and waits for the workers.
  ~GlyphBatch();
  GlyphBatch(const GlyphBatch&) = delete;
  GlyphBatch& operator=(const GlyphBatch&) = delete;

  // Blocks until every glyph of `task` was told, calling `progress` now and
  // then meanwhile, on this thread.
  GlyphTaskInfo Wait(std::size_t task, const Progress& progress = {});

 private:
  struct TaskState {
    std::uint32_t chunksDone = 0;
    std::uint32_t glyphsDone = 0;
    std::optional<GlyphTaskInfo> info;
  };

  // Draws run `run`, with `renderer` kept for the next run of the same task.
  void DrawRun(std::uint32_t run, std::unique_ptr<GlyphRenderer>& renderer, std::size_t& rendererTask);
  std::unique_ptr<GlyphRenderer> MakeRenderer(std::size_t task);
  void WorkerLoop();
  bool Enough() const;

  GlyphBatchRequest request_;
  Visit visit_;
  std::uint32_t runsPerTask_ = 0;
  std::uint32_t runCount_ = 0;
  std::atomic<std::uint32_t> nextRun_{0};
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TaskState> tasks_;
  std::vector<std::thread> workers_;
  // When no worker could start: the renderer of the waiting thread.
  std::unique_ptr<GlyphRenderer> inlineRenderer_;
  std::size_t inlineTask_ = 0;
};

}  // namespace qzf
