#include "app/worker_thread.h"

#include <chrono>

namespace ormel {

namespace {
constexpr std::chrono::milliseconds kRetireWait{5};
}

WorkerThread::~WorkerThread() {
  if (m_thread.joinable()) m_thread.join();
}

void WorkerThread::start(std::function<void()> body) {
  m_thread = std::thread([this, body = std::move(body)] {
    try {
      body();
    } catch (...) {
      // A worker has nobody to report to; its owner reads the outcome from its results.
    }
    m_ended.store(true, std::memory_order_release);
  });
}

void WorkerThread::handOff(WindowThread& windowThread, const std::function<void()>& task) {
  windowThread.synchronize([this, &task] {
    // Cleared however the task ends, a throw included.
    struct HandingOff {
      bool& flag;
      explicit HandingOff(bool& f) : flag(f) { flag = true; }
      ~HandingOff() { flag = false; }
      HandingOff(const HandingOff&) = delete;
      HandingOff& operator=(const HandingOff&) = delete;
    } handingOff(m_handingOff);
    task();
  });
}

void WorkerThread::retire(WindowThread& windowThread) {
  if (!m_thread.joinable()) return;
  if (m_handingOff) {
    m_thread.detach();
    return;
  }
  while (!ended()) windowThread.processEvents(kRetireWait);
  m_thread.join();
}

}  // namespace ormel
