#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace ormel {

/// The hand-off from worker threads to the window thread.
class WindowThread {
 public:
  virtual ~WindowThread() = default;

  /// Runs task on the window thread and returns once it has run; an exception the task raises
  /// is raised again in the caller. Called on the window thread itself, runs the task at once.
  virtual void synchronize(const std::function<void()>& task) = 0;

  /// On the window thread: runs the hand-offs and events that are waiting; when none waits,
  /// waits up to maxWait for one. Never blocks longer than maxWait.
  virtual void processEvents(std::chrono::milliseconds maxWait) = 0;

  /// True when called on the window thread.
  [[nodiscard]] virtual bool isWindowThread() const = 0;
};

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
