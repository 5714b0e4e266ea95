#pragma once

#include <chrono>
#include <functional>

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

}  // namespace ormel
