#include <QGraphicsDropShadowEffect>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "base/utility_routines.h"
#include "ui/command_keys.h"
#include "ui/dialog_test_support.h"
#include "ui/ormel_dialog.h"
#include "ui/ui_test_support.h"

using ormel::TOrmelSettings;
using ormel::testing_support::checkFrame;
using ormel::testing_support::child;
using ormel::testing_support::clickLine;
using ormel::testing_support::Desk;
using ormel::testing_support::driveModal;
using ormel::testing_support::lines;

namespace {

bool glows(const QWidget& widget) {
  const auto* glow = qobject_cast<const QGraphicsDropShadowEffect*>(widget.graphicsEffect());
  return glow != nullptr && glow->offset().x() > 0 && glow->offset().y() > 0;
}

/// Opens the switches dialog through its command and drives it.
bool withSwitches(Desk& desk, const std::function<void(QDialog&)>& drive) {
  return driveModal(
      "CustomizeSettings", [&] { desk.form->command("SettingsAction")->trigger(); }, drive);
}

bool mainWindowOnTop(const Desk& desk) { return desk.form->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

}  // namespace

class SettingsFormTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void opensOnTheFirstSwitch();
  void glowFollowsTheDefault();
  void eachClickChangesTheStoreAtOnce();
  void okPutsTheWindowOnTop();
  void escapeClosesAsOkDoes();
  void switchesReachTheFileOnlyAtExit();
  void descriptionsShowTheirLinesAsBroken();
};

void SettingsFormTest::descriptionsShowTheirLinesAsBroken() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withSwitches(desk, [&](QDialog& dialog) {
    auto& list = child<QListWidget>(dialog, "EditSettingsBox");
    const auto& label = child<QLabel>(dialog, "DescriptionLabel");
    // Broken at 40 characters already: wrapping again would break the lines a second time.
    QVERIFY(!label.wordWrap());
    for (int row = 0; row < list.count(); ++row) {
      clickLine(list, row);
      for (const QString& line : label.text().split('\n')) {
        QVERIFY2(line.size() <= 40, qPrintable(line));
        QVERIFY2(label.fontMetrics().horizontalAdvance(line) <= label.contentsRect().width(),
                 qPrintable(line));
      }
    }
  }));
}

void SettingsFormTest::opensOnTheFirstSwitch() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withSwitches(desk, [&](QDialog& dialog) {
    checkFrame(dialog, "Customize Settings", QSize(227, 377), false);
    QCOMPARE(dialog.parentWidget(), desk.form.get());
    QCOMPARE(child<QGroupBox>(dialog, "SettingsGroupBox").title(), QString("Available Settings"));
    QCOMPARE(child<QGroupBox>(dialog, "DescriptionGroupBox").title(), QString("Setting Description"));
    QCOMPARE(child<QGroupBox>(dialog, "SettingsEditGroupBox").title(), QString("Setting Value"));
    const auto& list = child<QListWidget>(dialog, "EditSettingsBox");
    QCOMPARE(lines(list), QStringList({"Always On Top", "Save Workspace", "One Instance"}));
    QCOMPARE(list.currentRow(), 0);
    QVERIFY(child<QRadioButton>(dialog, "SettingFalseRadioBtn").isChecked());
    QVERIFY(!child<QRadioButton>(dialog, "SettingTrueRadioBtn").isChecked());
    const QString description = ormel::labelText(
        ormel::FormatForLabel("Set to true, ormelCalc will always appear on top of all other windows.", 40));
    QVERIFY(description.contains('\n'));
    QCOMPARE(child<QLabel>(dialog, "DescriptionLabel").text(), description);
    QCOMPARE(child<QLabel>(dialog, "DefaultLabel").text(), QString("default value"));
    QCOMPARE(child<QPushButton>(dialog, "SettingsOkButton").text(), QString("Ok"));
  }));
}

void SettingsFormTest::glowFollowsTheDefault() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withSwitches(desk, [&](QDialog& dialog) {
    auto& list = child<QListWidget>(dialog, "EditSettingsBox");
    const auto& on = child<QRadioButton>(dialog, "SettingTrueRadioBtn");
    const auto& off = child<QRadioButton>(dialog, "SettingFalseRadioBtn");
    QVERIFY(glows(child<QLabel>(dialog, "DefaultLabel")));
    QVERIFY(glows(off));
    QVERIFY(!glows(on));
    clickLine(list, 1);
    QVERIFY(on.isChecked());
    QVERIFY(glows(on));
    QVERIFY(!glows(off));
    QVERIFY(child<QLabel>(dialog, "DescriptionLabel").text().startsWith("When true, ormelCalc will save"));
  }));
}

void SettingsFormTest::eachClickChangesTheStoreAtOnce() {
  Desk desk;
  QVERIFY(desk.start());
  TOrmelSettings& store = desk.form->appManager()->OrmelSettings();
  QVERIFY(withSwitches(desk, [&](QDialog& dialog) {
    auto& list = child<QListWidget>(dialog, "EditSettingsBox");
    auto& on = child<QRadioButton>(dialog, "SettingTrueRadioBtn");
    auto& off = child<QRadioButton>(dialog, "SettingFalseRadioBtn");
    clickLine(list, 2);
    QTest::mouseClick(&off, Qt::LeftButton);
    QVERIFY(!store.getSettingValue("OneInstance"));
    clickLine(list, 1);
    QTest::mouseClick(&off, Qt::LeftButton);
    QTest::mouseClick(&on, Qt::LeftButton);
    QTest::mouseClick(&off, Qt::LeftButton);
    QVERIFY(!store.getSettingValue("SaveWorkspace"));
    clickLine(list, 2);
    QVERIFY(off.isChecked());
    QTest::mouseClick(&child<QPushButton>(dialog, "SettingsOkButton"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
  }));
  QVERIFY(!store.getSettingValue("OneInstance"));
  QVERIFY(!store.getSettingValue("SaveWorkspace"));
  QVERIFY(!store.getSettingValue("AlwaysOnTop"));
  QVERIFY(!mainWindowOnTop(desk));
}

void SettingsFormTest::okPutsTheWindowOnTop() {
  Desk desk;
  QVERIFY(desk.start());
  const QRect bounds = desk.form->geometry();
  QVERIFY(withSwitches(desk, [&](QDialog& dialog) {
    QTest::mouseClick(&child<QRadioButton>(dialog, "SettingTrueRadioBtn"), Qt::LeftButton);
    QVERIFY(!mainWindowOnTop(desk));
    QTest::mouseClick(&child<QPushButton>(dialog, "SettingsOkButton"), Qt::LeftButton);
  }));
  QVERIFY(mainWindowOnTop(desk));
  QCOMPARE(desk.form->geometry(), bounds);
  // From now on every dialog stays above the main window.
  QVERIFY(withSwitches(desk, [&](QDialog& dialog) {
    QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::mouseClick(&child<QRadioButton>(dialog, "SettingFalseRadioBtn"), Qt::LeftButton);
    QTest::mouseClick(&child<QPushButton>(dialog, "SettingsOkButton"), Qt::LeftButton);
  }));
  QVERIFY(!mainWindowOnTop(desk));
}

void SettingsFormTest::escapeClosesAsOkDoes() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withSwitches(desk, [&](QDialog& dialog) {
    QTest::mouseClick(&child<QRadioButton>(dialog, "SettingTrueRadioBtn"), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
  }));
  QVERIFY(mainWindowOnTop(desk));
}

void SettingsFormTest::switchesReachTheFileOnlyAtExit() {
  Desk desk;
  QVERIFY(desk.start());
  const QByteArray before = desk.read("settings.xml");
  QVERIFY(before.contains("<oneinstance value=\"True\" />"));
  QVERIFY(withSwitches(desk, [&](QDialog& dialog) {
    clickLine(child<QListWidget>(dialog, "EditSettingsBox"), 2);
    QTest::mouseClick(&child<QRadioButton>(dialog, "SettingFalseRadioBtn"), Qt::LeftButton);
    QTest::mouseClick(&child<QPushButton>(dialog, "SettingsOkButton"), Qt::LeftButton);
  }));
  QCOMPARE(desk.read("settings.xml"), before);
  desk.stop();
  QVERIFY(desk.read("settings.xml").contains("<oneinstance value=\"False\" />"));
}

QTEST_MAIN(SettingsFormTest)
#include "settingsform_test.moc"
