#include "ui/qt_update_window.h"

#include <QCoreApplication>

namespace ormel {

void QtUpdateWindow::hide() {
  if (m_window) m_window->hide();
}

void QtUpdateWindow::show() {
  // A check whose message outlived the window's close must not bring the window back.
  if (m_window && !m_isClosed()) m_window->show();
}

void QtUpdateWindow::close() {
  if (m_window) m_window->close();
  // The check hid the window, and closing a hidden window does not end the program by itself.
  QCoreApplication::quit();
}

}  // namespace ormel
