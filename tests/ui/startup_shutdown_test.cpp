#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QTextBlock>
#include <QToolBar>
#include <csignal>

#include "support/window_actions.h"
#include "ui/command_keys.h"
#include "ui/shutdown_signals.h"
#include "ui/ui_test_support.h"

using ormel::TForm1;
using ormel::testing_support::Desk;
using ormel::testing_support::MessageBoxAnswerer;

namespace {

QByteArray settingsWith(const char* saveWorkspace) {
  return QByteArray("<settings>\r\n <saveworkspace value=\"") + saveWorkspace + "\" />\r\n</settings>\r\n";
}

void typeLine(Desk& desk, const char* line) {
  QTest::keyClicks(&desk.pad(), line);
  QTest::keyClick(&desk.pad(), Qt::Key_Return);
}

}  // namespace

class StartupShutdownTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void firstRunWritesEveryFile();
  void workspaceComesBackWithItsAnswers();
  void workspaceSwitchedOffIsNeitherReadNorWritten();
  void theLastEmptyLineTypesBoldAfterARestart();
  void toolbarLayoutFollowsTheRevRule_data();
  void toolbarLayoutFollowsTheRevRule();
  void toolbarLayoutRoundTrips();
  void shortcutsAndPreferencesComeBack();
  void perUserFolderServesASystemWideInstall();
  void unwritableFolderIsSaidOnceAndFailedSavesAreReported();
  void unreadableVariablesAreReportedAndKept();
  void terminationClosesOpenDialogsThenSaves();
};

void StartupShutdownTest::firstRunWritesEveryFile() {
  Desk desk;
  QVERIFY(desk.start());
  QVERIFY(QFileInfo(desk.dataFile("settings.xml")).isFile());
  QVERIFY(QFileInfo(desk.dataFile("prefs.xml")).isFile());
  QVERIFY(!QFileInfo::exists(desk.dataFile("hotkeys.xml")));
  QCOMPARE(desk.form->funcsDropDownBox()->count() > 80, true);
  desk.stop();
  for (const char* name :
       {"vars.xml", "settings.xml", "prefs.xml", "hotkeys.xml", "toolbars.ini", "workspace.dat"}) {
    QVERIFY2(QFileInfo(desk.dataFile(name)).isFile(), name);
  }
  QCOMPARE(desk.read("hotkeys.xml"), QByteArray(ormel::testing_support::kDefaultHotkeysFile));
  QCOMPARE(desk.read("vars.xml"), QByteArray("<variables />\r\n"));
  QVERIFY(desk.read("toolbars.ini")
              .startsWith("[FuncsToolbar]\r\nRev=2000\r\nVisible=1\r\nDockedTo=TopDock\r\n"));
}

void StartupShutdownTest::workspaceComesBackWithItsAnswers() {
  Desk desk;
  QVERIFY(desk.start());
  typeLine(desk, "r = 1/3");
  typeLine(desk, "r*3");
  desk.stop();
  QVERIFY(desk.start());
  QCOMPARE(desk.pad().toPlainText(), QString("r = 1/3\nr*3\n 1"));
  QTextCursor cursor(desk.pad().document());
  cursor.setPosition(desk.pad().document()->findBlockByNumber(2).position() + 2);
  QCOMPARE(cursor.charFormat().foreground().color(), QColor(Qt::yellow));
  QCOMPARE(desk.form->varsTextLabelWidget()->text(), QString("R=0.333333333333333"));
}

void StartupShutdownTest::theLastEmptyLineTypesBoldAfterARestart() {
  Desk desk;
  QVERIFY(desk.start());
  typeLine(desk, "2+3");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  desk.stop();
  QVERIFY(desk.start());
  QCOMPARE(desk.pad().toPlainText(), QString("2+3\n 5\n"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), "7");
  QTextCursor cursor(desk.pad().document());
  cursor.setPosition(desk.pad().document()->characterCount() - 1);
  QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
  QCOMPARE(cursor.charFormat().foreground().color(), QColor(Qt::white));
  desk.stop();
  // Every character is bold, so nothing in the workspace turns bold off.
  QVERIFY(!desk.read("workspace.dat").contains("\\b0"));
}

void StartupShutdownTest::workspaceSwitchedOffIsNeitherReadNorWritten() {
  Desk desk;
  desk.write("settings.xml", settingsWith("False"));
  desk.write("workspace.dat", "kept as it is\r\n");
  QVERIFY(desk.start());
  QCOMPARE(desk.pad().toPlainText(), QString());
  typeLine(desk, "1+1");
  desk.stop();
  QCOMPARE(desk.read("workspace.dat"), QByteArray("kept as it is\r\n"));
  QVERIFY(desk.read("settings.xml").contains("<saveworkspace value=\"False\" />"));
}

void StartupShutdownTest::toolbarLayoutFollowsTheRevRule_data() {
  QTest::addColumn<QByteArray>("section");
  QTest::addColumn<bool>("visible");
  QTest::addColumn<int>("area");
  QTest::addColumn<bool>("floating");
  QTest::newRow("Rev 1999 is ignored")
      << QByteArray("Rev=1999\nVisible=0\nDockedTo=BottomDock") << true << int(Qt::TopToolBarArea) << false;
  QTest::newRow("no Rev is ignored") << QByteArray("Visible=0") << true << int(Qt::TopToolBarArea) << false;
  QTest::newRow("Rev 2000 hides") << QByteArray("Rev=2000\nVisible=0") << false << int(Qt::TopToolBarArea)
                                  << false;
  QTest::newRow("Rev 2000 docks below") << QByteArray("Rev=2000\nVisible=1\nDockedTo=BottomDock\nDockRow=1")
                                        << true << int(Qt::BottomToolBarArea) << false;
  QTest::newRow("unknown dock changes nothing")
      << QByteArray("Rev=2000\nDockedTo=LeftDock") << true << int(Qt::TopToolBarArea) << false;
  QTest::newRow("plus floats") << QByteArray("Rev=2000\nDockedTo=+\nFloatLeft=40\nFloatTop=30") << true
                               << int(Qt::NoToolBarArea) << true;
}

void StartupShutdownTest::toolbarLayoutFollowsTheRevRule() {
  QFETCH(QByteArray, section);
  QFETCH(bool, visible);
  QFETCH(int, area);
  QFETCH(bool, floating);
  Desk desk;
  desk.write("toolbars.ini", "[FuncsToolbar]\n" + section + "\n");
  QVERIFY(desk.start());
  QToolBar* functions = desk.form->toolbar("FuncsToolbar");
  QCOMPARE(functions->isVisibleTo(desk.form.get()), visible);
  QCOMPARE(functions->isWindow(), floating);
  if (floating) {
    QCOMPARE(functions->pos(), QPoint(40, 30));
  } else {
    QCOMPARE(int(desk.form->toolBarArea(functions)), area);
  }
  QVERIFY(desk.form->toolbar("VarsToolbar")->isVisibleTo(desk.form.get()));
}

void StartupShutdownTest::toolbarLayoutRoundTrips() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ToolbarPlace below;
  below.name = "VarsToolbar";
  below.dockedTo = "BottomDock";
  desk.form->placeToolbar(below);
  desk.form->toolbar("FuncsToolbar")->hide();
  desk.stop();
  QVERIFY(desk.start());
  QCOMPARE(desk.form->toolBarArea(desk.form->toolbar("VarsToolbar")), Qt::BottomToolBarArea);
  QVERIFY(desk.form->toolbar("VarsToolbar")->isVisible());
  QVERIFY(!desk.form->toolbar("FuncsToolbar")->isVisible());
  QCOMPARE(desk.form->toolBarArea(desk.form->toolbar("VarsTextToolbar")), Qt::BottomToolBarArea);
}

void StartupShutdownTest::shortcutsAndPreferencesComeBack() {
  Desk desk;
  desk.write("hotkeys.xml", "<hotkeys><hotkey name=\"Quit\" hotkey=\"ctrl+q\" /></hotkeys>");
  desk.write("prefs.xml",
             "<preferences><answercolor value=\"255\" /><backgroundcolor value=\"16777215\" />"
             "</preferences>");
  QVERIFY(desk.start());
  QCOMPARE(desk.form->command("QuitApp")->shortcutCode(), std::uint16_t(0x4000 | 'Q'));
  QCOMPARE(desk.pad().palette().color(QPalette::Base), QColor(Qt::white));
  typeLine(desk, "2*4");
  QTextCursor cursor(desk.pad().document());
  cursor.setPosition(desk.pad().document()->findBlockByNumber(1).position() + 2);
  QCOMPARE(cursor.charFormat().foreground().color(), QColor(Qt::red));
  desk.stop();
  QVERIFY(desk.read("hotkeys.xml").contains("<hotkey name=\"Quit\" hotkey=\"Ctrl+Q\" />"));
}

void StartupShutdownTest::perUserFolderServesASystemWideInstall() {
  Desk desk;
  // A "data" that is a file stands for a program folder nobody may write to.
  QFile blocker(desk.program.filePath("data"));
  QVERIFY(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  MessageBoxAnswerer boxes;
  QVERIFY(desk.start());
  const QString perUser = desk.home.filePath("ormelcalc/data/");
  QCOMPARE(QString::fromStdString(desk.form->appManager()->paths().DataDir), perUser);
  desk.stop();
  QVERIFY(QFileInfo(perUser + "hotkeys.xml").isFile());
  QVERIFY(boxes.texts.isEmpty());
}

void StartupShutdownTest::unwritableFolderIsSaidOnceAndFailedSavesAreReported() {
  Desk desk;
  for (const QString& path : {desk.program.filePath("data"), desk.home.filePath("ormelcalc")}) {
    QFile blocker(path);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
  }
  MessageBoxAnswerer boxes;
  QVERIFY(desk.start());
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY(boxes.texts[0].contains("cannot write to its data folder"));
  typeLine(desk, "1+2");
  QCOMPARE(desk.pad().toPlainText(), QString("1+2\n 3"));
  desk.stop();
  QCOMPARE(boxes.texts.size(), 2);
  for (const char* name :
       {"vars.xml", "settings.xml", "prefs.xml", "hotkeys.xml", "workspace.dat", "toolbars.ini"}) {
    QVERIFY2(boxes.texts[1].contains(name), name);
  }
}

void StartupShutdownTest::unreadableVariablesAreReportedAndKept() {
  Desk desk;
  const QByteArray broken =
      "<variables>\r\n <variable name=\"A\" value=\"1\" />\r\n"
      " <variable name=\"B\" value=\"abc\" />\r\n <variable name=\"C\" value=\"3\" />\r\n"
      "</variables>\r\n";
  desk.write("vars.xml", broken);
  desk.write("prefs.xml", "<preferences><answercolor value=\"255\" /></preferences>");
  MessageBoxAnswerer boxes;
  QVERIFY(desk.start());
  QCOMPARE(boxes.texts.size(), 1);
  const QStringList copies = QDir(desk.program.filePath("data")).entryList({"vars.xml.bad-*"});
  QCOMPARE(copies.size(), 1);
  QVERIFY(boxes.texts[0].contains(copies[0]));
  QVERIFY(boxes.texts[0].contains("variable \"B\" skipped"));
  QCOMPARE(desk.read(copies[0]), broken);
  QCOMPARE(desk.form->varsTextLabelWidget()->text(), QString("A=1, C=3"));
  // The files after the broken one were read all the same.
  QCOMPARE(desk.form->appManager()->OrmelPrefs().getSettingValue("AnswerColor").toText(), std::string("255"));
  desk.stop();
  QCOMPARE(desk.read(copies[0]), broken);
}

void StartupShutdownTest::terminationClosesOpenDialogsThenSaves() {
  Desk desk;
  QVERIFY(desk.start());
  typeLine(desk, "7*6");
  ormel::ShutdownSignals signalWatch([&](int) { ormel::closeGracefully(*desk.form); });
  bool dialogShown = false;
  desk.form->setOnSheetDialog([&](QFileDialog&) {
    dialogShown = true;
    ::raise(SIGTERM);
  });
  desk.form->command("SaveSheet")->trigger();
  QVERIFY(dialogShown);
  QTRY_VERIFY(!desk.form->isVisible());
  QVERIFY(desk.read("workspace.dat").contains(" 42"));
  QVERIFY(QFileInfo(desk.dataFile("hotkeys.xml")).isFile());
}

QTEST_MAIN(StartupShutdownTest)
#include "startup_shutdown_test.moc"
