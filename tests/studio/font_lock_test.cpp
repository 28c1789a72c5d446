#include "studio/font_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace qzf::studio {
namespace {

// Work done ahead of time takes the lock only when it is free and nobody
// waits, and sees anyone who comes to wait for it.
TEST(FontLockTest, ShowsWhoWaitsAndIsNotTakenPastThem) {
  using namespace std::chrono_literals;
  FontLock lock;
  EXPECT_FALSE(lock.Wanted());
  ASSERT_TRUE(lock.try_lock());
  EXPECT_FALSE(lock.Wanted());  // the holder does not wait
  bool gotIt = false;
  std::thread waiter([&] {
    std::lock_guard hold(lock);
    gotIt = true;
  });
  for (int i = 0; i < 2000 && !lock.Wanted(); ++i) std::this_thread::sleep_for(5ms);
  EXPECT_TRUE(lock.Wanted());
  lock.unlock();
  waiter.join();
  EXPECT_TRUE(gotIt);
  EXPECT_FALSE(lock.Wanted());
  ASSERT_TRUE(lock.try_lock());
  EXPECT_FALSE(lock.try_lock());  // held: not taken twice
  lock.unlock();
}

}  // namespace
}  // namespace qzf::studio
