#include "ui/qt_window_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace ormel {

QtWindowThread::QtWindowThread() = default;

bool QtWindowThread::isWindowThread() const { return QThread::currentThread() == m_context.thread(); }

void QtWindowThread::synchronize(const std::function<void()>& task) {
  if (isWindowThread()) {
    task();
    return;
  }
  std::exception_ptr error;
  // When the window thread is gone before it runs the call, Qt drops it and releases the
  // worker: the task then has not run, which is all a worker can expect at shut-down.
  QMetaObject::invokeMethod(
      &m_context,
      [&] {
        try {
          task();
        } catch (...) {
          error = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (error) std::rethrow_exception(error);
}

void QtWindowThread::processEvents(std::chrono::milliseconds maxWait) {
  if (maxWait.count() <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  // A timer bounds the wait: WaitForMoreEvents returns once something, at the latest the
  // timer, has been dispatched.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(maxWait);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace ormel
