#include "app/ThreadTimer.h"

#include <algorithm>

namespace ormel {

namespace {
// Keeps the worker from spinning when the handler is slow or the interval small.
constexpr std::chrono::milliseconds kMinimumPause{10};
}  // namespace

TThreadTimer::TThreadTimer(WindowThread& windowThread) : m_windowThread(windowThread) {}

TThreadTimer::~TThreadTimer() {
  Stop();
  for (const auto& worker : m_workers) worker->retire();
}

void TThreadTimer::SetEnabled(bool value) {
  if (value) {
    Start();
  } else {
    Stop();
  }
}

void TThreadTimer::Start() {
  if (m_running) return;
  retireEnded(m_workers);
  m_current = TTimerThread::CreateTimerThread(*this);
  m_workers.push_back(m_current);
  m_current->start(m_threadPriority);
  m_running = true;
}

void TThreadTimer::Stop() {
  if (m_current) m_current->requestStop();
  m_current.reset();
  m_running = false;
}

std::shared_ptr<TTimerThread> TTimerThread::CreateTimerThread(TThreadTimer& timer) {
  return std::make_shared<TTimerThread>(timer, timer.m_windowThread);
}

void TTimerThread::start(TThreadPriority priority) {
  // The body owns the worker too, so a worker left to end by itself never runs on freed memory.
  m_worker.start([self = shared_from_this(), priority] { self->Execute(priority); });
}

void TTimerThread::requestStop() {
  {
    std::lock_guard lock(m_mutex);
    m_stopRequested.store(true, std::memory_order_relaxed);
  }
  m_wake.notify_all();
}

void TTimerThread::Execute(TThreadPriority priority) {
  applyThreadPriority(priority);
  while (!m_stopRequested.load(std::memory_order_relaxed)) {
    const auto tickStart = std::chrono::steady_clock::now();
    // A raising handler ends the worker: the exception leaves this loop.
    m_worker.handOff(m_windowThread, [this] { DoExecute(); });
    // A timer destroyed by its own handler has stopped this worker before the hand-off returned;
    // the timer must not be read after that.
    if (m_stopRequested.load(std::memory_order_relaxed) || !pause(tickStart)) return;
  }
}

void TTimerThread::DoExecute() {
  // Stop runs on this thread too, so a tick queued before it returned is dropped here; the timer
  // may be gone by then, which is why nothing of it is read before this test.
  if (m_stopRequested.load(std::memory_order_relaxed)) return;
  // A copy, because the handler may destroy the timer and with it the stored handler.
  TTimerEvent handler = m_timer.m_onTimer;
  if (handler) handler(m_timer);
}

bool TTimerThread::pause(std::chrono::steady_clock::time_point tickStart) {
  const auto interval = std::chrono::milliseconds(m_timer.Interval());
  const auto spent =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - tickStart);
  const auto delay = std::max(interval - spent, kMinimumPause);
  std::unique_lock lock(m_mutex);
  return !m_wake.wait_for(lock, delay, [this] { return m_stopRequested.load(std::memory_order_relaxed); });
}

}  // namespace ormel
