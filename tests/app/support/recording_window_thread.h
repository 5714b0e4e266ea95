#pragma once

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <set>

#include "base/task_queue_window_thread.h"

namespace ormel::testing_support {

/// A TaskQueueWindowThread that records who hands work over: how many hand-offs arrived and
/// which thread (kernel thread id) sent the one now running.
class RecordingWindowThread final : public WindowThread {
 public:
  void synchronize(const std::function<void()>& task) override {
    const auto sender = static_cast<int>(::syscall(SYS_gettid));
    {
      std::lock_guard lock(m_mutex);
      m_senders.insert(sender);
    }
    ++m_arrived;
    m_inner.synchronize([&] {
      m_currentSender = sender;
      task();
    });
  }
  void processEvents(std::chrono::milliseconds maxWait) override { m_inner.processEvents(maxWait); }
  [[nodiscard]] bool isWindowThread() const override { return m_inner.isWindowThread(); }

  /// Hand-offs that have arrived, run or not.
  [[nodiscard]] int arrived() const { return m_arrived; }
  /// On the window thread: the sender of the hand-off now running.
  [[nodiscard]] int currentSender() const { return m_currentSender; }
  [[nodiscard]] std::set<int> senders() const {
    std::lock_guard lock(m_mutex);
    return m_senders;
  }

 private:
  TaskQueueWindowThread m_inner;
  std::atomic<int> m_arrived{0};
  int m_currentSender = 0;
  mutable std::mutex m_mutex;
  std::set<int> m_senders;
};

}  // namespace ormel::testing_support
