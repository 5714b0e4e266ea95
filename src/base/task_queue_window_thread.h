#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "base/window_thread_port.h"

namespace ormel {

/// A window thread without a window system: the thread that creates it is the window thread,
/// and hand-offs run when it calls processEvents. Serves the terminal program and the tests.
class TaskQueueWindowThread final : public WindowThread {
 public:
  TaskQueueWindowThread();
  void synchronize(const std::function<void()>& task) override;
  void processEvents(std::chrono::milliseconds maxWait) override;
  [[nodiscard]] bool isWindowThread() const override;

 private:
  struct Pending {
    const std::function<void()>* task;
    std::exception_ptr error;
    bool done = false;
  };
  std::thread::id m_owner;
  std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::condition_variable m_finished;
  std::deque<std::shared_ptr<Pending>> m_queue;
};

}  // namespace ormel
