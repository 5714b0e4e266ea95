#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "app/thread_priority.h"
#include "app/worker_thread.h"
#include "base/window_thread_port.h"

namespace ormel {

class TThreadTimer;
class TTimerThread;

/// A timer event; Sender is the timer.
using TTimerEvent = std::function<void(TThreadTimer& Sender)>;

/// A timer whose ticks come from a worker thread of its own, each handed to the window thread
/// and waited for, so OnTimer always runs on the window thread and ticks never overlap. The first
/// tick comes as soon as the worker runs; later ticks start Interval ms apart, with a pause of at
/// least 10 ms after each tick.
///
/// Create, use and destroy the timer on the window thread.
class TThreadTimer {
 public:
  /// The timer does not run; ThreadPriority is tpNormal.
  explicit TThreadTimer(WindowThread& windowThread);
  /// Stops the timer and waits until its workers have ended (running the window thread's
  /// hand-offs meanwhile); no worker touches the timer afterwards.
  ~TThreadTimer();
  TThreadTimer(const TThreadTimer&) = delete;
  TThreadTimer& operator=(const TThreadTimer&) = delete;

  /// True between Start and Stop, also when a raising handler has ended the ticks.
  [[nodiscard]] bool Enabled() const { return m_running; }
  /// True calls Start, false calls Stop.
  void SetEnabled(bool value);

  /// Milliseconds from the start of one tick to the start of the next; 0 or less ticks every
  /// 10 ms. A change takes effect from the worker's next pause.
  [[nodiscard]] int Interval() const { return m_interval.load(std::memory_order_relaxed); }
  void SetInterval(int milliseconds) { m_interval.store(milliseconds, std::memory_order_relaxed); }

  /// The worker's priority; a change takes effect at the next Start.
  [[nodiscard]] TThreadPriority ThreadPriority() const { return m_threadPriority; }
  void SetThreadPriority(TThreadPriority priority) { m_threadPriority = priority; }

  /// The handler run on the window thread at each tick. An exception it raises ends the ticks
  /// until the timer is stopped and started again.
  [[nodiscard]] const TTimerEvent& OnTimer() const { return m_onTimer; }
  void SetOnTimer(TTimerEvent handler) { m_onTimer = std::move(handler); }

  /// Makes the timer run with a new worker; does nothing while it runs.
  void Start();
  /// Makes the timer stop without waiting for the worker: no tick runs once Stop has returned.
  void Stop();

 private:
  friend class TTimerThread;

  WindowThread& m_windowThread;
  std::atomic<int> m_interval{0};
  TThreadPriority m_threadPriority = TThreadPriority::tpNormal;
  TTimerEvent m_onTimer;
  bool m_running = false;
  std::shared_ptr<TTimerThread> m_current;
  // The current worker and earlier ones that have not ended yet, joined when they have.
  std::vector<std::shared_ptr<TTimerThread>> m_workers;
};

/// The worker of one Start: ticks until it is told to stop.
class TTimerThread : public std::enable_shared_from_this<TTimerThread> {
 public:
  /// A worker for timer that does not run yet.
  static std::shared_ptr<TTimerThread> CreateTimerThread(TThreadTimer& timer);

  /// Runs the worker at priority.
  void start(TThreadPriority priority);
  /// On the window thread: the worker ends at its next test and hands over no further tick.
  void requestStop();
  [[nodiscard]] bool ended() const { return m_worker.ended(); }
  /// See WorkerThread::retire.
  void retire() { m_worker.retire(m_windowThread); }

  TTimerThread(TThreadTimer& timer, WindowThread& windowThread)
      : m_timer(timer), m_windowThread(windowThread) {}

 private:
  void Execute(TThreadPriority priority);
  /// The tick, on the window thread.
  void DoExecute();
  /// Sleeps until the next tick is due or a stop request comes; false when stopped.
  bool pause(std::chrono::steady_clock::time_point tickStart);

  TThreadTimer& m_timer;
  WindowThread& m_windowThread;
  WorkerThread m_worker;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::atomic<bool> m_stopRequested{false};
};

}  // namespace ormel
