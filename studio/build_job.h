// The studio's "Build": the whole font in a thread of its own, through the
// one build routine (a temporary file beside the output, renamed into place
// only when every pass succeeded), with its progress for the page to ask.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "fontbuild/font_build.h"
#include "studio/font_lock.h"

namespace qzf::studio {

struct BuildJobStatus {
  bool running = false;
  bool finished = false;  // a build ran to its end (successful or not)
  double progress = 0;    // 0..1
  std::string phase;      // what it does now, for the page
  // When finished:
  bool ok = false;
  std::string message;  // Simplified Chinese
  std::string outputName;
  FontBuildResult result;
};

class BuildJob {
 public:
  BuildJob() = default;
  ~BuildJob();
  BuildJob(const BuildJob&) = delete;
  BuildJob& operator=(const BuildJob&) = delete;

  // Starts a build unless one runs (false then). `fontLock` is held while it
  // draws; `outputName` is what the page shows.
  bool Start(FontBuildRequest request, std::string outputName, FontLock& fontLock);
  BuildJobStatus Status() const;
  // Waits for a running build.
  void Wait();

 private:
  class Observer;
  void Run(FontBuildRequest request, FontLock& fontLock);

  mutable std::mutex mutex_;
  BuildJobStatus status_;
  std::thread thread_;
};

}  // namespace qzf::studio
