// The studio's one lock for drawing with fonts. Whoever takes it with
// lock() is seen waiting, so that work done ahead of time (a fit prepared
// while the page is idle) can give way to anything the player asked for.
#pragma once

#include <atomic>
#include <mutex>

namespace qzf::studio {

class FontLock {
 public:
  // Lockable: std::lock_guard and std::unique_lock take it.
  void lock() {
    ++waiting_;
    mutex_.lock();
    --waiting_;
  }
  void unlock() { mutex_.unlock(); }
  // Only when nobody waits for it either.
  bool try_lock() { return waiting_.load() == 0 && mutex_.try_lock(); }
  // Whether someone waits for it now.
  bool Wanted() const { return waiting_.load() > 0; }

 private:
  std::mutex mutex_;
  std::atomic<unsigned> waiting_{0};
};

}  // namespace qzf::studio
