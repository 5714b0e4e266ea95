#include "base/process_liveness.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ormel {
namespace {

TEST(ProcessLiveness, RunningProcessesAndIdsThatNameNone) {
  EXPECT_TRUE(processIsRunning(::getpid()));
  EXPECT_TRUE(processIsRunning(1));  // init exists, and is another user's where we are not root
  EXPECT_FALSE(processIsRunning(0));
  EXPECT_FALSE(processIsRunning(-1));
  EXPECT_FALSE(processIsRunning(1L << 40));
}

TEST(ProcessLiveness, ProcessThatEndedIsNotRunning) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_FALSE(processIsRunning(child));
}

}  // namespace
}  // namespace ormel
