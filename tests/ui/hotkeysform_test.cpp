#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "config/hotkey_choices.h"
#include "config/shortcut_text.h"
#include "ui/command_keys.h"
#include "ui/dialog_test_support.h"
#include "ui/ui_test_support.h"

using ormel::Command;
using ormel::textToShortCut;
using ormel::testing_support::checkFrame;
using ormel::testing_support::child;
using ormel::testing_support::clickLine;
using ormel::testing_support::Desk;
using ormel::testing_support::driveModal;
using ormel::testing_support::lines;

namespace {

bool withHotkeys(Desk& desk, const std::function<void(QDialog&)>& drive) {
  return driveModal(
      "CustomizeHotkeys", [&] { desk.form->command("HotkeysAction")->trigger(); }, drive);
}

int lineOf(const QListWidget& list, const QString& caption) {
  for (int i = 0; i < list.count(); ++i) {
    if (list.item(i)->text() == caption) return i;
  }
  return -1;
}

/// Selects the command's line in the dialog, as a click does.
void select(QDialog& dialog, const QString& caption) {
  auto& list = child<QListWidget>(dialog, "EditHotKeysBox");
  QVERIFY2(lineOf(list, caption) >= 0, qPrintable(caption));
  clickLine(list, lineOf(list, caption));
}

void clickOk(QDialog& dialog) {
  QTest::mouseClick(&child<QPushButton>(dialog, "HotkeysOkButton"), Qt::LeftButton);
}

}  // namespace

class HotkeysFormTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void opensOnTheFirstCommand();
  void chosenKeyWorksInTheWindowAndIsSaved();
  void typingFollowsEveryIntermediateText();
  void emptyingTheBoxRemovesTheKey();
  void aKeyMayBeGivenTwice();
};

void HotkeysFormTest::opensOnTheFirstCommand() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withHotkeys(desk, [&](QDialog& dialog) {
    checkFrame(dialog, "Customize Hotkeys", QSize(228, 355), false);
    QCOMPARE(child<QGroupBox>(dialog, "HotkeysGroupBox").title(), QString("Available Hotkeys"));
    QCOMPARE(child<QGroupBox>(dialog, "DescriptionGroupBox").title(), QString("Hotkey Description"));
    QCOMPARE(child<QGroupBox>(dialog, "HotkeysEditGroupBox").title(), QString("Hotkey For Selected Action"));
    const auto& list = child<QListWidget>(dialog, "EditHotKeysBox");
    QCOMPARE(lines(list), QStringList({"Check For Update", "Clear Screen", "Clear Variables", "Open Sheet",
                                       "Quit", "Save Sheet As"}));
    QCOMPARE(list.currentRow(), 0);
    const auto& box = child<QComboBox>(dialog, "EditHotKeysEditBox");
    QVERIFY(box.isEditable());
    QCOMPARE(box.currentText(), QString());
    QStringList choices;
    for (int i = 0; i < box.count(); ++i) choices << box.itemText(i);
    QStringList expected;
    for (const std::string& choice : ormel::hotkeyChoices()) expected << QString::fromStdString(choice);
    QCOMPARE(choices, expected);
    QCOMPARE(child<QLabel>(dialog, "DescriptionLabel").text(), QString());
    select(dialog, "Clear Screen");
    QCOMPARE(box.currentText(), QString("Esc"));
    select(dialog, "Save Sheet As");
    QCOMPARE(box.currentText(), QString("F2"));
  }));
}

void HotkeysFormTest::chosenKeyWorksInTheWindowAndIsSaved() {
  Desk desk;
  QVERIFY(desk.start());
  Command* quit = desk.form->command("QuitApp");
  QVERIFY(withHotkeys(desk, [&](QDialog& dialog) {
    select(dialog, "Quit");
    auto& box = child<QComboBox>(dialog, "EditHotKeysEditBox");
    box.setCurrentIndex(box.findText("Ctrl+Q"));
    QCOMPARE(quit->shortcutCode(), textToShortCut("Ctrl+Q"));
    clickOk(dialog);
    QVERIFY(!dialog.isVisible());
  }));
  QSignalSpy triggered(quit, &QAction::triggered);
  QTest::keyClicks(&desk.pad(), "1+1");
  QTest::keyClick(&desk.pad(), Qt::Key_Q, Qt::ControlModifier);
  QCOMPARE(triggered.count(), 1);
  QVERIFY(!desk.form->isVisible());
  QVERIFY(desk.read("hotkeys.xml").contains("<hotkey name=\"Quit\" hotkey=\"Ctrl+Q\" />"));
}

void HotkeysFormTest::typingFollowsEveryIntermediateText() {
  Desk desk;
  QVERIFY(desk.start());
  Command* clearScreen = desk.form->command("ClearScreen");
  QVERIFY(withHotkeys(desk, [&](QDialog& dialog) {
    select(dialog, "Clear Screen");
    auto& box = child<QComboBox>(dialog, "EditHotKeysEditBox");
    QLineEdit& edit = *box.lineEdit();
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(clearScreen->shortcutCode(), 0);
    QTest::keyClicks(&edit, "shift+");
    QCOMPARE(clearScreen->shortcutCode(), 0);
    QTest::keyClicks(&edit, "f");
    QCOMPARE(clearScreen->shortcutCode(), textToShortCut("Shift+F"));
    QTest::keyClicks(&edit, "5");
    QCOMPARE(clearScreen->shortcutCode(), textToShortCut("Shift+F5"));
    QCOMPARE(box.currentText(), QString("shift+f5"));
    select(dialog, "Quit");
    select(dialog, "Clear Screen");
    QCOMPARE(box.currentText(), QString("Shift+F5"));
    clickOk(dialog);
  }));
  // Esc no longer clears; Shift+F5 does.
  QTest::keyClicks(&desk.pad(), "42");
  QTest::keyClick(&desk.pad(), Qt::Key_Escape);
  QCOMPARE(desk.pad().toPlainText(), QString("42"));
  QTest::keyClick(&desk.pad(), Qt::Key_F5, Qt::ShiftModifier);
  QCOMPARE(desk.pad().toPlainText(), QString());
}

void HotkeysFormTest::emptyingTheBoxRemovesTheKey() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withHotkeys(desk, [&](QDialog& dialog) {
    select(dialog, "Open Sheet");
    QLineEdit& edit = *child<QComboBox>(dialog, "EditHotKeysEditBox").lineEdit();
    edit.clear();
    QCOMPARE(desk.form->command("LoadSheet")->shortcutCode(), 0);
    QTest::keyClicks(&edit, "Ctrl+Nothing");
    QCOMPARE(desk.form->command("LoadSheet")->shortcutCode(), 0);
    clickOk(dialog);
  }));
  desk.stop();
  QVERIFY(desk.read("hotkeys.xml").contains("<hotkey name=\"Open Sheet\" hotkey=\"\" />"));
}

void HotkeysFormTest::aKeyMayBeGivenTwice() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withHotkeys(desk, [&](QDialog& dialog) {
    select(dialog, "Clear Variables");
    auto& box = child<QComboBox>(dialog, "EditHotKeysEditBox");
    box.setCurrentIndex(box.findText("Esc"));
    clickOk(dialog);
  }));
  QCOMPARE(desk.form->command("ClearVariables")->shortcutCode(), 27);
  QCOMPARE(desk.form->command("ClearScreen")->shortcutCode(), 27);
}

QTEST_MAIN(HotkeysFormTest)
#include "hotkeysform_test.moc"
