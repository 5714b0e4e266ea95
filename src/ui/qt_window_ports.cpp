#include "ui/qt_window_ports.h"

#include <QScreen>

#include "ui/command_keys.h"
#include "ui/ormelCalcMain.h"

namespace ormel {

WindowBounds QtMainWindowFrame::bounds() const {
  return {m_window.x(), m_window.y(), m_window.width(), m_window.height()};
}

void QtMainWindowFrame::setBounds(const WindowBounds& bounds) {
  m_window.move(bounds.left, bounds.top);
  const int width = bounds.width >= 1 ? bounds.width : m_window.width();
  const int height = bounds.height >= 1 ? bounds.height : m_window.height();
  m_window.resize(width, height);
}

ScreenSize QtMainWindowFrame::screenSize() const {
  const QScreen* screen = m_window.screen();
  if (screen == nullptr) return {};
  return {screen->geometry().width(), screen->geometry().height()};
}

WindowBounds QtMainWindowFrame::availableArea() const {
  const QScreen* screen = m_window.screen();
  if (screen == nullptr) return MainWindowFrame::availableArea();
  const QRect area = screen->availableGeometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

void QtMainWindowFrame::setAlwaysOnTop(bool onTop) { TForm1::setStayOnTop(m_window, onTop); }

Command& QtActionList::at(int index) const { return *m_commands.at(static_cast<std::size_t>(index)); }

std::string QtActionList::caption(int index) const { return at(index).text().toStdString(); }

std::string QtActionList::category(int index) const { return at(index).category().toStdString(); }

std::string QtActionList::hint(int index) const { return at(index).statusTip().toStdString(); }

ShortCut QtActionList::shortCut(int index) const { return at(index).shortcutCode(); }

void QtActionList::setShortCut(int index, ShortCut code) { at(index).setShortcutCode(code); }

}  // namespace ormel
