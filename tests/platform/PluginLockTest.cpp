#include "platform/PluginLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(PluginLock, OwnerMayTakeItAgain) {
  PluginLock lock;
  lock.Enter();
  EXPECT_TRUE(lock.TryEnter());
  lock.Enter();
  lock.Leave();
  lock.Leave();
  lock.Leave();
  EXPECT_TRUE(lock.TryEnter());
  lock.Leave();
}

TEST(PluginLock, SecondThreadWaitsUntilEveryNestedHoldIsReleased) {
  PluginLock lock;
  int32_t shared = 0;  // written by both threads, guarded only by the lock
  std::atomic<bool> tried{false}, triedResult{true}, entered{false};

  std::thread other;
  lock.Enter();
  {
    PluginLockGuard nested(lock);
    shared = 1;
    other = std::thread([&] {
      triedResult = lock.TryEnter();
      tried = true;
      lock.Enter();
      entered = true;
      shared += 10;
      lock.Leave();
    });
    while (!tried) std::this_thread::yield();
    EXPECT_FALSE(triedResult.load());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(entered.load());
  }
  // One hold is left: still blocked.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(entered.load());
  shared += 1;
  lock.Leave();
  other.join();
  EXPECT_TRUE(entered.load());
  lock.Enter();
  EXPECT_EQ(shared, 12);
  lock.Leave();
}

}  // namespace
