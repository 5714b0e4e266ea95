#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "ui/ormelCalcMain.h"
#include "ui/scratch_pad_edit.h"

namespace ormel::testing_support {

/// Keeps one-instance sockets of the tests apart from the user's and from other tests.
inline void isolateRuntimeFolder() {
  static QTemporaryDir runtime;
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
}

/// Answers every message box that opens while it lives with answer, keeping their texts; onBox,
/// when set, sees each box first.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer() {
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts.push_back(box->text());
        if (onBox) onBox(*box);
        // The static message boxes report the button that was clicked, not the dialog's result.
        if (QAbstractButton* button = box->button(answer)) {
          button->click();
        } else {
          box->done(answer);
        }
      }
    });
    m_poll.start(20);
  }
  QStringList texts;
  QMessageBox::StandardButton answer = QMessageBox::Ok;
  std::function<void(QMessageBox&)> onBox;

 private:
  QTimer m_poll;
};

/// A main window on a fresh program folder and home; "data" sits in the program folder.
struct Desk {
  QTemporaryDir program;
  QTemporaryDir home;
  std::unique_ptr<TForm1> form;

  [[nodiscard]] QString dataFile(const QString& name) const { return program.filePath("data/" + name); }
  [[nodiscard]] QByteArray read(const QString& name) const {
    QFile file(dataFile(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void write(const QString& name, const QByteArray& content) const {
    QDir(program.path()).mkpath("data");
    QFile file(dataFile(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  /// Creates and shows the window with the scratch pad focused; false when FormCreate refused.
  bool start() {
    form = std::make_unique<TForm1>(
        TAppManager::Folders{program.path().toStdString(), home.path().toStdString()});
    if (!form->FormCreate()) return false;
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get())) return false;
    form->scratchPadEdit()->setFocus();
    return true;
  }
  /// Closes the window as its close box does and destroys it.
  void stop() {
    if (form) form->close();
    form.reset();
  }
  [[nodiscard]] ScratchPadEdit& pad() const { return *form->scratchPadEdit(); }
};

}  // namespace ormel::testing_support
