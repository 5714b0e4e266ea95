#pragma once

#include <QDialog>
#include <QShowEvent>
#include <QString>
#include <string>

#include "ui/ormelCalcMain.h"
#include "ui/ormelMisc.h"

namespace ormel {

/// A text of the stores or of FormatForLabel, whose lines end with CR LF, as a label shows it.
[[nodiscard]] inline QString labelText(const std::string& text) {
  return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

/// A fixed-size dialog of the program: owned by the main window, centred over it when shown,
/// with a title bar that carries no buttons unless asked to. It is the dialog interface the
/// application manager shows (ModalDialog or one of its preparing kinds).
template <class Interface>
class OrmelDialog : public QDialog, public Interface {
 public:
  OrmelDialog(QWidget* owner, const QString& caption, int clientWidth, int clientHeight, bool titleButtons)
      : QDialog(owner, titleButtons ? Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowTitleHint
                                    : Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(caption);
    setFixedSize(clientWidth, clientHeight);
  }

  void setStayOnTop(bool onTop) override { TForm1::setStayOnTop(*this, onTop); }
  void showModal() override { exec(); }

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget()) CenterCommonDialogOnForm(*owner->window(), *this);
  }
};

}  // namespace ormel
