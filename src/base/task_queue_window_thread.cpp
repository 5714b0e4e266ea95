#include "task_queue_window_thread.h"

namespace ormel {

TaskQueueWindowThread::TaskQueueWindowThread() : m_owner(std::this_thread::get_id()) {}

bool TaskQueueWindowThread::isWindowThread() const { return std::this_thread::get_id() == m_owner; }

void TaskQueueWindowThread::synchronize(const std::function<void()>& task) {
  if (isWindowThread()) {
    task();
    return;
  }
  auto pending = std::make_shared<Pending>();
  pending->task = &task;
  std::unique_lock lock(m_mutex);
  m_queue.push_back(pending);
  m_arrived.notify_all();
  m_finished.wait(lock, [&] { return pending->done; });
  if (pending->error) std::rethrow_exception(pending->error);
}

void TaskQueueWindowThread::processEvents(std::chrono::milliseconds maxWait) {
  std::unique_lock lock(m_mutex);
  if (m_queue.empty() && maxWait.count() > 0) {
    m_arrived.wait_for(lock, maxWait, [&] { return !m_queue.empty(); });
  }
  while (!m_queue.empty()) {
    std::shared_ptr<Pending> pending = m_queue.front();
    m_queue.pop_front();
    lock.unlock();
    try {
      (*pending->task)();
    } catch (...) {
      pending->error = std::current_exception();
    }
    lock.lock();
    pending->done = true;
    m_finished.notify_all();
  }
}

}  // namespace ormel
