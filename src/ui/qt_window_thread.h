#pragma once

#include <QObject>

#include "base/window_thread_port.h"

namespace ormel {

/// The window-thread hand-off on Qt's event loop: a worker's task is queued to the thread that
/// created this object and the worker blocks until it ran there.
class QtWindowThread final : public WindowThread {
 public:
  QtWindowThread();
  void synchronize(const std::function<void()>& task) override;
  void processEvents(std::chrono::milliseconds maxWait) override;
  [[nodiscard]] bool isWindowThread() const override;

 private:
  QObject m_context;
};

}  // namespace ormel
