#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "app/update_check.h"

namespace ormel {

/// The main window as the update check hides, shows and closes it. Closing is the window's normal
/// close (its close handler saves everything), after which the application quits. A window that
/// has been closed, or destroyed, is not shown again.
class QtUpdateWindow final : public UpdateWindow {
 public:
  /// isClosed tells whether the window has been closed; it must not throw.
  QtUpdateWindow(QWidget& window, std::function<bool()> isClosed)
      : m_window(&window), m_isClosed(std::move(isClosed)) {}
  void hide() override;
  void show() override;
  void close() override;

 private:
  QPointer<QWidget> m_window;
  std::function<bool()> m_isClosed;
};

}  // namespace ormel
