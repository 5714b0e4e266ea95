#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "base/window_thread_port.h"

namespace ormel {

/// A worker thread owned by an object that lives on the window thread, with the two ways of
/// letting it go that such an owner needs.
///
/// The object holding a WorkerThread must be owned by the thread's body as well (a shared_ptr the
/// body keeps), so that a released worker never runs on freed memory.
class WorkerThread {
 public:
  WorkerThread() = default;
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;
  /// Joins a worker that was neither finished nor released (it must have ended by then).
  ~WorkerThread();

  /// Runs body on a new thread; call once.
  void start(std::function<void()> body);

  /// On the worker: runs task on the window thread and waits for it (exceptions come back
  /// here).
  void handOff(WindowThread& windowThread, const std::function<void()>& task);

  /// True once the body has returned (or thrown).
  [[nodiscard]] bool ended() const { return m_ended.load(std::memory_order_acquire); }

  /// On the window thread, after the worker was told to stop: waits until it has ended and joins
  /// it. Meanwhile the window thread's hand-offs keep running, so a worker blocked in handOff is
  /// released instead of deadlocking the two threads. When called from inside this worker's own
  /// hand-off (an owner destroyed by its own event handler) it cannot wait for the worker, which
  /// is blocked on this very call; the worker is then left to end by itself.
  void retire(WindowThread& windowThread);

 private:
  std::thread m_thread;
  std::atomic<bool> m_ended{false};
  bool m_handingOff = false;  // window thread only
};

/// Joins and drops the workers of the list that have ended; the others stay.
template <typename Worker>
void retireEnded(std::vector<std::shared_ptr<Worker>>& workers) {
  std::erase_if(workers, [](const std::shared_ptr<Worker>& worker) {
    if (!worker->ended()) return false;
    worker->retire();
    return true;
  });
}

}  // namespace ormel
