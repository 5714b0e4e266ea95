#pragma once

#include <functional>

namespace ormel {

/// A window timer: its ticks run on the window thread.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void setInterval(int milliseconds) = 0;
  [[nodiscard]] virtual int interval() const = 0;
  /// Switching on starts a full interval from now; switching off cancels the pending tick.
  virtual void setEnabled(bool enabled) = 0;
  [[nodiscard]] virtual bool enabled() const = 0;
  virtual void setOnTimer(std::function<void()> handler) = 0;
};

}  // namespace ormel
