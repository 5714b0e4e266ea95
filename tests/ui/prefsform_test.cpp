#include "ui/prefsform.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/command_keys.h"
#include "ui/dialog_test_support.h"
#include "ui/ui_test_support.h"

using ormel::ColorSwatch;
using ormel::SettingValue;
using ormel::TOrmelPrefs;
using ormel::testing_support::checkFrame;
using ormel::testing_support::child;
using ormel::testing_support::Desk;
using ormel::testing_support::driveModal;

namespace {

bool withPreferences(Desk& desk, const std::function<void(QDialog&)>& drive) {
  return driveModal(
      "CustomizePreferences", [&] { desk.form->command("PrefrencesAction")->trigger(); }, drive);
}

void clickOk(QDialog& dialog) {
  QTest::mouseClick(&child<QPushButton>(dialog, "SettingsOkButton"), Qt::LeftButton);
}

/// Presses a swatch with a mouse button and answers the colour chooser: with a colour, or
/// cancelled when none is given. False when no chooser came up.
bool pressSwatch(ColorSwatch& swatch, Qt::MouseButton button, std::optional<QColor> answer) {
  return driveModal(
      "ColorChooser", [&] { QTest::mousePress(&swatch, button); },
      [&](QDialog& dialog) {
        auto& chooser = static_cast<QColorDialog&>(dialog);
        QCOMPARE(chooser.currentColor(), swatch.color());
        if (answer) {
          chooser.setCurrentColor(*answer);
          chooser.accept();
        } else {
          chooser.reject();
        }
      });
}

/// Chooses the entry with that text in a drop-down list as the user does.
void choose(QComboBox& box, const QString& text) {
  const int index = box.findText(text);
  QVERIFY2(index >= 0, qPrintable(text));
  box.setCurrentIndex(index);
  emit box.activated(index);
}

SettingValue pref(Desk& desk, const char* key) {
  return desk.form->appManager()->OrmelPrefs().getSettingValue(key);
}

}  // namespace

class PrefsFormTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void opensWithTheBuiltInPreferences();
  void fontListShowsEachFaceInItself();
  void anUninstalledFaceSelectsTheFamilyShown();
  void choicesReachTheStoreAtOnce();
  void colorChooserAndDefaults();
  void okAppliesLookToTheScratchPad();
  void separatorRules_data();
  void separatorRules();
  void aRefusedSeparatorKeepsThePreviousOne();
  void escapeKeepsAndAppliesWhatWasChosen();
  void aLongerStoredSeparatorIsKeptWhole();
};

void PrefsFormTest::opensWithTheBuiltInPreferences() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    checkFrame(dialog, "Customize Preferences", QSize(527, 382), false);
    QCOMPARE(child<QGroupBox>(dialog, "DecimalSeparatorBox").title(), QString("Decimal seperator"));
    const std::array<std::pair<const char*, QColor>, 4> colors{{{"RegExpColor", Qt::white},
                                                                {"AnswerColor", Qt::yellow},
                                                                {"ResWordColor", Qt::red},
                                                                {"BackgroundColor", Qt::black}}};
    for (const auto& [name, color] : colors) {
      QCOMPARE(child<ColorSwatch>(dialog, name).color(), color);
      QCOMPARE(child<ColorSwatch>(dialog, (std::string(name) + "Default").c_str()).color(), color);
      QCOMPARE(child<ColorSwatch>(dialog, name).size(), QSize(81, 25));
      QCOMPARE(child<ColorSwatch>(dialog, (std::string(name) + "Default").c_str()).size(), QSize(81, 17));
    }
    const auto& fonts = child<QComboBox>(dialog, "FontsList");
    QVERIFY(!fonts.isEditable());
    QCOMPARE(fonts.count(), QFontDatabase::families().size());
    // Verdana, or the family shown in its place where it is not installed.
    QCOMPARE(fonts.currentText(), QFontInfo(QFont("Verdana")).family());
    QVERIFY(fonts.currentIndex() >= 0);
    const auto& places = child<QComboBox>(dialog, "DecimalPlacesDropBox");
    QCOMPARE(places.count(), 25);
    QCOMPARE(places.itemText(24), QString("1000"));
    QCOMPARE(places.currentText(), QString("3"));
    QCOMPARE(child<QLineEdit>(dialog, "DecimalSeparatorEdit").text(), QString("."));
    QCOMPARE(child<QLineEdit>(dialog, "DecimalSeparatorEdit").maxLength(), 1);
    QVERIFY(child<QRadioButton>(dialog, "CursorEndOfAnswerRadio").isChecked());
    QVERIFY(!child<QRadioButton>(dialog, "CursorEndOfExpressionRadio").isChecked());
    const auto& sample = child<QLabel>(dialog, "SampleText");
    QCOMPARE(sample.text(), QString("Sample (5 + 9 / 2)"));
    QVERIFY(sample.font().bold());
    QCOMPARE(sample.font().pixelSize(), 13);
    QVERIFY(sample.alignment().testFlag(Qt::AlignRight));
  }));
}

void PrefsFormTest::fontListShowsEachFaceInItself() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    const auto& fonts = child<QComboBox>(dialog, "FontsList");
    QVERIFY(fonts.count() > 0);
    for (int i = 0; i < fonts.count(); ++i) {
      QCOMPARE(fonts.itemData(i, Qt::FontRole).value<QFont>().family(), fonts.itemText(i));
    }
  }));
}

void PrefsFormTest::anUninstalledFaceSelectsTheFamilyShown() {
  Desk desk;
  QVERIFY(desk.start());
  TOrmelPrefs& prefs = desk.form->appManager()->OrmelPrefs();
  const QStringList families = QFontDatabase::families();
  QVERIFY(!families.isEmpty());
  prefs.setSettingValue("SelectedFont", families.last().toStdString());
  prefs.ApplyPrefs();
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    QCOMPARE(child<QComboBox>(dialog, "FontsList").currentText(), families.last());
    QCOMPARE(child<QLabel>(dialog, "SampleText").font().family(), families.last());
  }));
  prefs.setSettingValue("SelectedFont", "No Such Face Anywhere");
  prefs.ApplyPrefs();
  const QString shown = QFontInfo(desk.pad().font()).family();
  QVERIFY(families.contains(shown));
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    QCOMPARE(child<QComboBox>(dialog, "FontsList").currentText(), shown);
    QCOMPARE(child<QLabel>(dialog, "SampleText").font().family(), shown);
    clickOk(dialog);
  }));
  // The preference stays until the user picks another face.
  QCOMPARE(pref(desk, "SelectedFont").toText(), std::string("No Such Face Anywhere"));
}

void PrefsFormTest::choicesReachTheStoreAtOnce() {
  Desk desk;
  QVERIFY(desk.start());
  const QString face = QFontDatabase::families().first();
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    QTest::mouseClick(&child<QRadioButton>(dialog, "CursorNewLineRadio"), Qt::LeftButton);
    QCOMPARE(pref(desk, "CursorPlacement").kind(), SettingValue::Kind::Integer);
    QCOMPARE(pref(desk, "CursorPlacement").toInteger(), 2);
    QTest::mouseClick(&child<QRadioButton>(dialog, "CursorEndOfExpressionRadio"), Qt::LeftButton);
    QCOMPARE(pref(desk, "CursorPlacement").toInteger(), 0);
    choose(child<QComboBox>(dialog, "DecimalPlacesDropBox"), "1000");
    QCOMPARE(pref(desk, "DecimalPlaces").kind(), SettingValue::Kind::Integer);
    QCOMPARE(pref(desk, "DecimalPlaces").toInteger(), 1000);
    choose(child<QComboBox>(dialog, "FontsList"), face);
    QCOMPARE(pref(desk, "SelectedFont").toText(), face.toStdString());
    QCOMPARE(child<QLabel>(dialog, "SampleText").font().family(), face);
    // The look waits for Ok.
    QVERIFY(desk.pad().font().family() != face);
  }));
  QCOMPARE(pref(desk, "CursorPlacement").toInteger(), 0);
}

void PrefsFormTest::colorChooserAndDefaults() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    auto& background = child<ColorSwatch>(dialog, "BackgroundColor");
    QVERIFY(pressSwatch(background, Qt::LeftButton, QColor(0x12, 0x34, 0x56)));
    QCOMPARE(background.color(), QColor(0x12, 0x34, 0x56));
    QCOMPARE(pref(desk, "BackgroundColor").toInteger(), 0x563412);
    QTest::mousePress(&child<ColorSwatch>(dialog, "BackgroundColorDefault"), Qt::LeftButton);
    QCOMPARE(background.color(), QColor(Qt::black));
    QCOMPARE(pref(desk, "BackgroundColor").toInteger(), 0);

    auto& answer = child<ColorSwatch>(dialog, "AnswerColor");
    QVERIFY(pressSwatch(answer, Qt::RightButton, std::nullopt));
    QCOMPARE(answer.color(), QColor(Qt::yellow));
    QCOMPARE(pref(desk, "AnswerColor").kind(), SettingValue::Kind::Integer);
    QCOMPARE(pref(desk, "AnswerColor").toInteger(), 65535);

    QVERIFY(pressSwatch(child<ColorSwatch>(dialog, "ResWordColor"), Qt::LeftButton, QColor(0, 0x80, 0)));
    QCOMPARE(pref(desk, "FunctionColor").toInteger(), 0x008000);
  }));
}

void PrefsFormTest::okAppliesLookToTheScratchPad() {
  Desk desk;
  QVERIFY(desk.start());
  const QString face = QFontDatabase::families().last();
  const QByteArray file = desk.read("prefs.xml");
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    QVERIFY(pressSwatch(child<ColorSwatch>(dialog, "BackgroundColor"), Qt::LeftButton, QColor(0, 0, 0x80)));
    QVERIFY(pressSwatch(child<ColorSwatch>(dialog, "RegExpColor"), Qt::LeftButton, QColor(0xEE, 0xEE, 0)));
    choose(child<QComboBox>(dialog, "FontsList"), face);
    QCOMPARE(desk.pad().palette().color(QPalette::Base), QColor(Qt::black));
    clickOk(dialog);
    QVERIFY(!dialog.isVisible());
  }));
  QCOMPARE(desk.pad().palette().color(QPalette::Base), QColor(0, 0, 0x80));
  QCOMPARE(desk.pad().palette().color(QPalette::Text), QColor(0xEE, 0xEE, 0));
  QCOMPARE(desk.pad().font().family(), face);
  QCOMPARE(desk.read("prefs.xml"), file);
}

void PrefsFormTest::separatorRules_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("stored");
  QTest::newRow("EmptyStoresThePoint") << ""
                                       << ".";
  QTest::newRow("Comma") << ","
                         << ",";
  QTest::newRow("Apostrophe") << "'"
                              << "'";
  QTest::newRow("DigitIsRefused") << "5"
                                  << ".";
  QTest::newRow("LetterIsRefused") << "x"
                                   << ".";
  QTest::newRow("DollarIsRefused") << "$"
                                   << ".";
}

void PrefsFormTest::separatorRules() {
  QFETCH(QString, typed);
  QFETCH(QString, stored);
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    auto& edit = child<QLineEdit>(dialog, "DecimalSeparatorEdit");
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, typed);
    // Until Ok the store keeps the point.
    QCOMPARE(pref(desk, "DecimalSeparator").toText(), std::string("."));
    clickOk(dialog);
    // A refused separator keeps the dialog open; the next Ok closes it.
    if (dialog.isVisible()) clickOk(dialog);
    QVERIFY(!dialog.isVisible());
  }));
  QCOMPARE(QString::fromStdString(pref(desk, "DecimalSeparator").toText()), stored);
}

void PrefsFormTest::aRefusedSeparatorKeepsThePreviousOne() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    auto& edit = child<QLineEdit>(dialog, "DecimalSeparatorEdit");
    const auto& message = child<QLabel>(dialog, "DecimalSeparatorMessage");
    QVERIFY(!message.isVisible());
    edit.selectAll();
    QTest::keyClicks(&edit, "7");
    QVERIFY(message.isVisible());
    QVERIFY(message.text().contains("digit"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QVERIFY(!message.isVisible());
    QTest::keyClicks(&edit, "=");
    clickOk(dialog);
    QVERIFY(dialog.isVisible());
    QVERIFY(message.isVisible());
    QVERIFY(message.text().contains("stays \".\""));
    QCOMPARE(edit.text(), QString("."));
    QCOMPARE(pref(desk, "DecimalSeparator").toText(), std::string("."));
    clickOk(dialog);
    QVERIFY(!dialog.isVisible());
  }));
  // The scratch pad keeps reading and writing the point.
  QTest::keyClicks(&desk.pad(), "1.5*2");
  QTest::keyClick(&desk.pad(), Qt::Key_Return);
  QCOMPARE(desk.pad().toPlainText(), QString("1.5*2\n 3"));
}

void PrefsFormTest::escapeKeepsAndAppliesWhatWasChosen() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    QVERIFY(pressSwatch(child<ColorSwatch>(dialog, "BackgroundColor"), Qt::LeftButton, QColor(0x40, 0, 0)));
    auto& edit = child<QLineEdit>(dialog, "DecimalSeparatorEdit");
    edit.selectAll();
    QTest::keyClicks(&edit, "5");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
  }));
  QCOMPARE(desk.pad().palette().color(QPalette::Base), QColor(0x40, 0, 0));
  QCOMPARE(pref(desk, "DecimalSeparator").toText(), std::string("."));
}

void PrefsFormTest::aLongerStoredSeparatorIsKeptWhole() {
  Desk desk;
  QVERIFY(desk.start());
  desk.form->appManager()->OrmelPrefs().setSettingValue("DecimalSeparator", "::");
  QVERIFY(withPreferences(desk, [&](QDialog& dialog) {
    QCOMPARE(child<QLineEdit>(dialog, "DecimalSeparatorEdit").text(), QString("::"));
    clickOk(dialog);
    QVERIFY(!dialog.isVisible());
  }));
  QCOMPARE(pref(desk, "DecimalSeparator").toText(), std::string("::"));
}

QTEST_MAIN(PrefsFormTest)
#include "prefsform_test.moc"
