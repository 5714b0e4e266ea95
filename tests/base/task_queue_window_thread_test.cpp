#include "base/task_queue_window_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace ormel {
namespace {

using namespace std::chrono_literals;

TEST(TaskQueueWindowThread, RunsHandOffOnWindowThreadAndWaits) {
  TaskQueueWindowThread window;
  std::thread::id ranOn;
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    window.synchronize([&] { ranOn = std::this_thread::get_id(); });
    returned = true;
  });
  while (!returned) window.processEvents(10ms);
  worker.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(TaskQueueWindowThread, RethrowsInWorker) {
  TaskQueueWindowThread window;
  std::atomic<bool> caught{false};
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    try {
      window.synchronize([] { throw std::runtime_error("handler failed"); });
    } catch (const std::runtime_error& e) {
      caught = std::string(e.what()) == "handler failed";
    }
    returned = true;
  });
  while (!returned) window.processEvents(10ms);
  worker.join();
  EXPECT_TRUE(caught);
}

TEST(TaskQueueWindowThread, RunsAtOnceOnWindowThread) {
  TaskQueueWindowThread window;
  int runs = 0;
  window.synchronize([&] { ++runs; });
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(window.isWindowThread());
}

TEST(TaskQueueWindowThread, ProcessEventsWaitsAtMostMaxWait) {
  TaskQueueWindowThread window;
  const auto start = std::chrono::steady_clock::now();
  window.processEvents(20ms);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

}  // namespace
}  // namespace ormel
