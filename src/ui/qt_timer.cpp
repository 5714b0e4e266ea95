#include "ui/qt_timer.h"

namespace ormel {

QtTimer::QtTimer() {
  QObject::connect(&m_timer, &QTimer::timeout, [this] {
    if (m_handler) m_handler();
  });
}

void QtTimer::setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }

int QtTimer::interval() const { return m_timer.interval(); }

void QtTimer::setEnabled(bool enabled) {
  if (enabled) {
    m_timer.start();
  } else {
    m_timer.stop();
  }
}

bool QtTimer::enabled() const { return m_timer.isActive(); }

void QtTimer::setOnTimer(std::function<void()> handler) { m_handler = std::move(handler); }

}  // namespace ormel
