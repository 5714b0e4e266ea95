#pragma once

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace ormel::testing_support {

/// Runs open, which shows a modal dialog, and drives the dialog named name with drive once it
/// is up; a dialog that drive left open is closed afterwards, so a failed check never hangs
/// the test. False when no such dialog came up.
inline bool driveModal(const QString& name, const std::function<void()>& open,
                       const std::function<void(QDialog&)>& drive) {
  bool driven = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (driven || dialog == nullptr || dialog->objectName() != name) return;
    driven = true;
    drive(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  poll.start(10);
  open();
  return driven;
}

/// Checks a dialog's caption, client size and whether its title bar has a close button.
inline void checkFrame(const QDialog& dialog, const QString& caption, QSize size, bool closeButton) {
  QCOMPARE(dialog.windowTitle(), caption);
  QCOMPARE(dialog.size(), size);
  QCOMPARE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint), closeButton);
  QVERIFY(dialog.isModal());
}

/// The child of a dialog with that object name; a missing one ends the test program, naming it.
template <class Widget>
Widget& child(const QWidget& parent, const char* name) {
  auto* found = parent.findChild<Widget*>(QString::fromLatin1(name));
  if (found == nullptr) qFatal("%s has no %s", qPrintable(parent.objectName()), name);
  return *found;
}

/// Clicks a line of a list box.
inline void clickLine(QListWidget& list, int row) {
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
}

/// The texts of a list box's lines.
inline QStringList lines(const QListWidget& list) {
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
  return texts;
}

}  // namespace ormel::testing_support
