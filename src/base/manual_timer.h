#pragma once

#include <algorithm>
#include <functional>

#include "base/timer_port.h"

namespace ormel {

/// A timer driven by a clock that the owner advances: the terminal program never advances it,
/// tests advance it instead of sleeping.
class ManualTimer final : public Timer {
 public:
  void setInterval(int milliseconds) override { m_interval = milliseconds; }
  [[nodiscard]] int interval() const override { return m_interval; }
  void setEnabled(bool enabled) override {
    m_enabled = enabled;
    m_elapsed = 0;
  }
  [[nodiscard]] bool enabled() const override { return m_enabled; }
  void setOnTimer(std::function<void()> handler) override { m_handler = std::move(handler); }

  /// Lets milliseconds pass; fires a tick each time a full interval has passed while enabled.
  void advance(int milliseconds) {
    while (m_enabled && milliseconds > 0) {
      const int period = std::max(m_interval, 1);
      const int step = std::min(milliseconds, period - m_elapsed);
      m_elapsed += step;
      milliseconds -= step;
      if (m_elapsed >= period) {
        m_elapsed = 0;
        if (m_handler) m_handler();
      }
    }
  }

 private:
  int m_interval = 1000;
  int m_elapsed = 0;
  bool m_enabled = false;
  std::function<void()> m_handler;
};

}  // namespace ormel
