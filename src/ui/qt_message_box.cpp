#include "ui/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace ormel {

void QtMessageBox::showMessage(const std::string& text) {
  if (m_silent) return;
  QMessageBox::information(m_owner, QApplication::applicationName(), QString::fromStdString(text));
}

bool QtMessageBox::askYesNo(const std::string& text) {
  if (m_silent) return false;
  return QMessageBox::question(m_owner, QApplication::applicationName(), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void QtMessageBox::showError(const std::string& text) {
  if (m_silent) return;
  QMessageBox::critical(m_owner, QApplication::applicationName(), QString::fromStdString(text));
}

}  // namespace ormel
