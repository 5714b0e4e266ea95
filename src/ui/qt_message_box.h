#pragma once

#include <QPointer>
#include <QWidget>

#include "base/message_box_port.h"

namespace ormel {

/// Modal message boxes over a window, captioned with the application's name.
class QtMessageBox final : public MessageBox {
 public:
  explicit QtMessageBox(QWidget* owner) : m_owner(owner) {}
  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  void showError(const std::string& text) override;
  /// While silent, no box shows: messages are dropped and questions answered No (for a program
  /// that is ending before its window opened).
  void setSilent(bool silent) { m_silent = silent; }

 private:
  QPointer<QWidget> m_owner;
  bool m_silent = false;
};

}  // namespace ormel
