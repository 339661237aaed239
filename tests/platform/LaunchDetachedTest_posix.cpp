// Starting a program on its own, as the editor opens web pages.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/LaunchDetached.h"

namespace {

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// The program runs on its own: wait for its trace, not for it.
bool AppearsSoon(const std::string& path) {
  for (int i = 0; i < 500 && !Exists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return Exists(path);
}

}  // namespace

TEST(LaunchDetached, StartsTheProgramWithItsArgumentUnreadByAShellAndLeavesNoChild) {
  // A shell would run the second command and expand the $(...).
  const std::string path = testing::TempDir() + "dm launched $(id); touch shell";
  std::remove(path.c_str());
  ASSERT_TRUE(LaunchDetached("touch", path.c_str()));
  EXPECT_TRUE(AppearsSoon(path));
  // No child of ours is left to reap: the program was handed to init.
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  std::remove(path.c_str());
}

TEST(LaunchDetached, AProgramThatCannotStartIsReported) {
  EXPECT_FALSE(LaunchDetached("dm-no-such-program", "x"));
  EXPECT_FALSE(LaunchDetached("/dev/null", "x"));  // not executable
  EXPECT_FALSE(LaunchDetached(nullptr, "x"));
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}
