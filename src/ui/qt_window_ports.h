#pragma once

#include <QWidget>
#include <vector>

#include "config/window_port.h"

namespace ormel {

class Command;

/// The main window's bounds, screen and stay-on-top state as the switches store uses them.
/// Left and top are the frame's position, width and height the window's inner size, so that
/// what is written reads back to the same place.
class QtMainWindowFrame final : public MainWindowFrame {
 public:
  /// The window must outlive this object.
  explicit QtMainWindowFrame(QWidget& window) : m_window(window) {}
  [[nodiscard]] WindowBounds bounds() const override;
  /// A width or height below 1 keeps the current one.
  void setBounds(const WindowBounds& bounds) override;
  [[nodiscard]] ScreenSize screenSize() const override;
  [[nodiscard]] WindowBounds availableArea() const override;
  void setAlwaysOnTop(bool onTop) override;

 private:
  QWidget& m_window;
};

/// The main window's commands as the hot key store and its dialog use them.
class QtActionList final : public ActionList {
 public:
  explicit QtActionList(std::vector<Command*> commands) : m_commands(std::move(commands)) {}
  [[nodiscard]] int count() const override { return static_cast<int>(m_commands.size()); }
  [[nodiscard]] std::string caption(int index) const override;
  [[nodiscard]] std::string category(int index) const override;
  [[nodiscard]] std::string hint(int index) const override;
  [[nodiscard]] ShortCut shortCut(int index) const override;
  void setShortCut(int index, ShortCut code) override;

 private:
  [[nodiscard]] Command& at(int index) const;
  std::vector<Command*> m_commands;
};

}  // namespace ormel
