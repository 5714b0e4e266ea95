#pragma once

#include <QTimer>

#include "base/timer_port.h"

namespace ormel {

/// A window timer on Qt's event loop.
class QtTimer final : public Timer {
 public:
  QtTimer();
  void setInterval(int milliseconds) override;
  [[nodiscard]] int interval() const override;
  void setEnabled(bool enabled) override;
  [[nodiscard]] bool enabled() const override;
  void setOnTimer(std::function<void()> handler) override;

 private:
  QTimer m_timer;
  std::function<void()> m_handler;
};

}  // namespace ormel
