// A piece of work run on a thread of its own while the caller goes on, or at
// once on the caller's thread when no thread can be had. It is over when
// Join returns, and at the latest when the holder goes.
#pragma once

#include <functional>
#include <system_error>
#include <thread>

namespace qzf {

class BackgroundWork {
 public:
  explicit BackgroundWork(std::function<void()> work) {
    try {
      thread_ = std::thread(std::move(work));
    } catch (const std::system_error&) {
      work();
    }
  }
  ~BackgroundWork() { Join(); }
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

}  // namespace qzf
