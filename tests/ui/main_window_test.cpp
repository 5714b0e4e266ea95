#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

#include "config/shortcut_text.h"
#include "ui/command_keys.h"
#include "ui/ormelMisc.h"
#include "ui/ui_test_support.h"

using ormel::Command;
using ormel::TForm1;
using ormel::testing_support::Desk;
using ormel::testing_support::MessageBoxAnswerer;

namespace {

constexpr QRgb kAnswerYellow = 0xFFFFFF00;

/// The menu's entries as "caption\tkey" lines, submenus indented under their title.
QStringList menuLines(const QMenu& menu, const QString& indent = {}) {
  QStringList lines;
  for (QAction* action : menu.actions()) {
    lines << indent + action->text();
    if (QMenu* submenu = action->menu()) lines << menuLines(*submenu, indent + "  ");
  }
  return lines;
}

QTextCharFormat formatAt(const ormel::ScratchPadEdit& pad, int position) {
  QTextCursor cursor(pad.document());
  cursor.setPosition(position + 1);
  return cursor.charFormat();
}

QString lineText(const ormel::ScratchPadEdit& pad, int n) {
  return pad.document()->findBlockByNumber(n).text();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void layoutHasTheDesignedParts();
  void commandsHaveCaptionsCategoriesAndKeys_data();
  void commandsHaveCaptionsCategoriesAndKeys();
  void contextMenuListsEntriesInOrder();
  void contextMenuChecksVisibleToolbars();
  void dropDownsTakeHalfTheDockLessFifty_data();
  void dropDownsTakeHalfTheDockLessFifty();
  void dropDownsAreLaidOutWithoutMeasuringTheirItems();
  void enterWritesTheAnswerBoldAndColoured();
  void sheetKeysFollowTheFocus_data();
  void sheetKeysFollowTheFocus();
  void aCommandKeyNeverReachesTheScratchPad();
  void changedKeysWorkAtOnce();
  void clearScreenIsUndoneByCtrlZ();
  void sheetSavedAndOpenedKeepsAnswers();
  void openingPlainTextShowsItsLines();
  void variableEditorAssignsAndSkipsTheNextRelease();
  void functionsDropDownInsertsACall();
  void functionsDropDownInsertsOnlyWhatIsChosen_data();
  void functionsDropDownInsertsOnlyWhatIsChosen();
  void theEnterThatClosesADialogIsNotThePads_data();
  void theEnterThatClosesADialogIsNotThePads();
  void menuHintsShowInTheStatusBar();
  void toolbarsCloseByTheirOwnButton_data();
  void toolbarsCloseByTheirOwnButton();
  void stayOnTopKeepsTheBounds();
  void activationAppliesTheAlwaysOnTopSwitch();
  void typingIsUndoneAndRedone();
  void linesRunLeftToRightWhateverTheirScript();
  void dialogsFollowTheDialogPattern_data();
  void dialogsFollowTheDialogPattern();
};

void MainWindowTest::layoutHasTheDesignedParts() {
  Desk desk;
  QVERIFY(desk.start());
  TForm1& form = *desk.form;
  QCOMPARE(form.toolBarArea(form.toolbar("VarsToolbar")), Qt::TopToolBarArea);
  QCOMPARE(form.toolBarArea(form.toolbar("FuncsToolbar")), Qt::TopToolBarArea);
  QCOMPARE(form.toolBarArea(form.toolbar("VarsTextToolbar")), Qt::BottomToolBarArea);
  QCOMPARE(form.toolbar("VarsToolbar")->windowTitle(), QString("Variable Editor"));
  QCOMPARE(form.toolbar("FuncsToolbar")->windowTitle(), QString("Functions"));
  QCOMPARE(form.toolbar("VarsTextToolbar")->windowTitle(), QString("Variables List"));
  QVERIFY(!form.toolbar("VarsToolbar")->isFloatable());
  QCOMPARE(form.findChild<QLabel*>("VarsLabelItem")->text(), QString("var"));
  QVERIFY(form.findChild<QLabel*>("VarsLabelItem")->font().underline());
  QCOMPARE(form.findChild<QLabel*>("FuncsLabelItem")->text(), QString("func"));
  QVERIFY(form.varsDropDownBox()->isEditable());
  QVERIFY(form.varsDropDownBox()->completer() == nullptr);
  QVERIFY(form.funcsDropDownBox()->isEditable());
  QCOMPARE(form.findChild<QStatusBar*>("StatusBar"), form.statusBar());
  QCOMPARE(form.statusTextLabel()->text(), QString("Ready"));
  QCOMPARE(form.varsTextLabelWidget()->text(), QString("No defined variables"));
  QCOMPARE(desk.pad().lineWrapMode(), QPlainTextEdit::NoWrap);
  QCOMPARE(desk.pad().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QVERIFY(desk.pad().font().bold());
  QCOMPARE(desk.pad().palette().color(QPalette::Base), QColor(Qt::black));
  QCOMPARE(QApplication::focusWidget(), &desk.pad());
  QCOMPARE(form.windowTitle().left(25), QString("ormelCalc 2.0 public beta"));
  QVERIFY(form.trimWorkTimer().Enabled());
  QCOMPARE(form.trimWorkTimer().Interval(), 25000);
}

void MainWindowTest::commandsHaveCaptionsCategoriesAndKeys_data() {
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("category");
  QTest::addColumn<QString>("key");
  QTest::newRow("ClearScreen") << "Clear Screen"
                               << "ormelCuts"
                               << "Esc";
  QTest::newRow("ClearVariables") << "Clear Variables"
                                  << "ormelCuts"
                                  << "F1";
  QTest::newRow("SaveSheet") << "Save Sheet As"
                             << "ormelCuts"
                             << "F2";
  QTest::newRow("LoadSheet") << "Open Sheet"
                             << "ormelCuts"
                             << "F3";
  QTest::newRow("QuitApp") << "Quit"
                           << "ormelCuts"
                           << "";
  QTest::newRow("CheckForUpdate") << "Check For Update"
                                  << "ormelCuts"
                                  << "";
  QTest::newRow("SettingsAction") << "Switches"
                                  << ""
                                  << "";
  QTest::newRow("PrefrencesAction") << "Preferences"
                                    << ""
                                    << "";
  QTest::newRow("HotkeysAction") << "Hotkeys"
                                 << ""
                                 << "";
  QTest::newRow("AboutAction") << "About"
                               << ""
                               << "";
  QTest::newRow("Recalculate") << "Recalculate"
                               << ""
                               << "F5";
}

void MainWindowTest::commandsHaveCaptionsCategoriesAndKeys() {
  QFETCH(QString, caption);
  QFETCH(QString, category);
  QFETCH(QString, key);
  TForm1 form({});
  const Command* command = form.command(QTest::currentDataTag());
  QVERIFY(command != nullptr);
  QCOMPARE(command->text(), caption);
  QCOMPARE(command->category(), category);
  QCOMPARE(QString::fromStdString(ormel::shortCutToText(command->shortcutCode())), key);
  QCOMPARE(command->statusTip().isEmpty(), caption != "Switches" && caption != "Recalculate");
}

void MainWindowTest::contextMenuListsEntriesInOrder() {
  TForm1 form({});
  const QStringList expected{"Clear Screen\tEsc",
                             "Clear Variables\tF1",
                             "Recalculate\tF5",
                             "File",
                             "  Open Sheet...\tF2",
                             "  Save Sheet As...\tF3",
                             "  Check For Update",
                             "  Quit",
                             "Settings",
                             "  Preferences...",
                             "  Switches...",
                             "  Hotkeys...",
                             "Toolbars",
                             "  Variable Editor",
                             "  Functions",
                             "  Variables List",
                             "About"};
  QCOMPARE(menuLines(*form.commandMenu()), expected);
  QCOMPARE(menuLines(*form.functionPopupMenu()), QStringList{"Paste"});
  const QList<QAction*> settings = form.commandMenu()->actions().at(4)->menu()->actions();
  QCOMPARE(settings.at(1)->statusTip(), QString("Show the switches dialog."));
}

void MainWindowTest::contextMenuChecksVisibleToolbars() {
  Desk desk;
  QVERIFY(desk.start());
  TForm1& form = *desk.form;
  auto* functions = form.findChild<QAction*>("FunctionsMenuItem");
  form.toolbar("FuncsToolbar")->hide();
  form.commandMenuPopup();
  QVERIFY(!functions->isChecked());
  QVERIFY(form.findChild<QAction*>("VariablesMenuItem")->isChecked());
  functions->trigger();
  QVERIFY(functions->isChecked());
  QVERIFY(form.toolbar("FuncsToolbar")->isVisible());
  form.findChild<QAction*>("VariablesTextMenuItem")->trigger();
  QVERIFY(!form.toolbar("VarsTextToolbar")->isVisible());
}

void MainWindowTest::dropDownsTakeHalfTheDockLessFifty_data() {
  QTest::addColumn<int>("dock");
  QTest::addColumn<int>("width");
  QTest::newRow("450 gives 175") << 450 << 175;
  QTest::newRow("451 rounds 175.5 up to even 176") << 451 << 176;
  QTest::newRow("449 rounds 174.5 down to even 174") << 449 << 174;
  QTest::newRow("600 gives 250") << 600 << 250;
}

void MainWindowTest::dropDownsTakeHalfTheDockLessFifty() {
  QFETCH(int, dock);
  QFETCH(int, width);
  QCOMPARE(TForm1::dropDownWidthForDock(dock), width);
  Desk desk;
  QVERIFY(desk.start());
  desk.form->resize(dock, 400);
  QTRY_COMPARE(desk.form->varsDropDownBox()->width(), width);
  QCOMPARE(desk.form->funcsDropDownBox()->width(), width);
}

void MainWindowTest::dropDownsAreLaidOutWithoutMeasuringTheirItems() {
  Desk desk;
  QVERIFY(desk.start());
  const QComboBox& funcs = *desk.form->funcsDropDownBox();
  QVERIFY(funcs.count() > 80);
  // A drop-down like it that measured all the function names for its first layout.
  QComboBox measured;
  measured.setEditable(true);
  for (int i = 0; i < funcs.count(); ++i) measured.addItem(funcs.itemText(i));
  measured.setFixedWidth(funcs.width());
  QCOMPARE(funcs.minimumSizeHint().height(), measured.minimumSizeHint().height());
  QCOMPARE(funcs.height(), measured.sizeHint().height());
  // Only the height counts, the width being fixed: the window took the hint before the list
  // was filled, so no name was shaped for it.
  QVERIFY(funcs.minimumSizeHint().width() < measured.minimumSizeHint().width());
}

void MainWindowTest::enterWritesTheAnswerBoldAndColoured() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QTest::keyClicks(&pad, "2+3");
  QTest::keyClick(&pad, Qt::Key_Return);
  QCOMPARE(lineText(pad, 0), QString("2+3"));
  QCOMPARE(lineText(pad, 1), QString(" 5"));
  const int answer = pad.document()->findBlockByNumber(1).position();
  QCOMPARE(formatAt(pad, answer + 1).foreground().color().rgba(), kAnswerYellow);
  QCOMPARE(formatAt(pad, answer + 1).fontWeight(), int(QFont::Bold));
  QCOMPARE(pad.textCursor().position(), answer + 2);
  // Typing on goes in the expression colour, not the answer's.
  QTest::keyClicks(&pad, "1");
  QCOMPARE(formatAt(pad, answer + 2).foreground().color(), QColor(Qt::white));
  QTest::keyClicks(&pad, ".");
  QCOMPARE(lineText(pad, 1), QString(" 51."));
}

void MainWindowTest::sheetKeysFollowTheFocus_data() {
  QTest::addColumn<bool>("inScratchPad");
  QTest::addColumn<int>("key");
  QTest::addColumn<QString>("dialog");
  QTest::newRow("F2 in the pad opens") << true << int(Qt::Key_F2) << "LoadSheetDialog";
  QTest::newRow("F3 in the pad saves") << true << int(Qt::Key_F3) << "SaveSheetDialog";
  QTest::newRow("F2 elsewhere saves") << false << int(Qt::Key_F2) << "SaveSheetDialog";
  QTest::newRow("F3 elsewhere opens") << false << int(Qt::Key_F3) << "LoadSheetDialog";
}

void MainWindowTest::sheetKeysFollowTheFocus() {
  QFETCH(bool, inScratchPad);
  QFETCH(int, key);
  QFETCH(QString, dialog);
  Desk desk;
  QVERIFY(desk.start());
  QString opened;
  desk.form->setOnSheetDialog([&](QFileDialog& shown) {
    opened = shown.objectName();
    QTimer::singleShot(0, &shown, &QDialog::reject);
  });
  QWidget* target =
      inScratchPad ? static_cast<QWidget*>(&desk.pad()) : desk.form->varsDropDownBox()->lineEdit();
  target->setFocus();
  QTest::keyClick(target, Qt::Key(key));
  QCOMPARE(opened, dialog);
}

void MainWindowTest::aCommandKeyNeverReachesTheScratchPad() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  desk.form->setOnSheetDialog([](QFileDialog& shown) { QTimer::singleShot(0, &shown, &QDialog::reject); });
  QTest::keyClicks(&pad, "4*5");
  QTest::keyClick(&pad, Qt::Key_Left);
  // F2's release would finish the line; F2 belongs to the open-sheet entry here.
  QTest::keyClick(&pad, Qt::Key_F2);
  QCOMPARE(pad.document()->blockCount(), 1);
  QCOMPARE(lineText(pad, 0), QString("4*5"));
  // Ctrl+Enter is no command: it finishes the line from inside it.
  QTest::keyClick(&pad, Qt::Key_Return, Qt::ControlModifier);
  QCOMPARE(lineText(pad, 1), QString(" 20"));
}

void MainWindowTest::changedKeysWorkAtOnce() {
  Desk desk;
  QVERIFY(desk.start());
  Command* quit = desk.form->command("QuitApp");
  QSignalSpy triggered(quit, &QAction::triggered);
  desk.form->command("ClearScreen")->setShortcutCode(0);
  quit->setShortcutCode(ormel::textToShortCut("Ctrl+Q"));
  QTest::keyClicks(&desk.pad(), "7");
  QTest::keyClick(&desk.pad(), Qt::Key_Escape);
  QCOMPARE(lineText(desk.pad(), 0), QString("7"));
  QVERIFY(menuLines(*desk.form->commandMenu()).contains("  Quit\tCtrl+Q"));
  QVERIFY(menuLines(*desk.form->commandMenu()).contains("Clear Screen"));
  QTest::keyClick(&desk.pad(), Qt::Key_Q, Qt::ControlModifier);
  QCOMPARE(triggered.count(), 1);
  QVERIFY(!desk.form->isVisible());
}

void MainWindowTest::clearScreenIsUndoneByCtrlZ() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QTest::keyClicks(&pad, "6*7");
  QTest::keyClick(&pad, Qt::Key_Return);
  QTest::keyClick(&pad, Qt::Key_Escape);
  QCOMPARE(pad.toPlainText(), QString());
  QTest::keyClick(&pad, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(pad.toPlainText(), QString("6*7\n 42"));
  QCOMPARE(formatAt(pad, 5).foreground().color().rgba(), kAnswerYellow);
  QTest::keyClick(&pad, Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(pad.toPlainText(), QString());
  QTest::keyClick(&pad, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(&pad, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(pad.toPlainText(), QString("6*7\n"));
}

void MainWindowTest::sheetSavedAndOpenedKeepsAnswers() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  // The sheet names the face the pad was given, not the one it starts with.
  const QStringList families = QFontDatabase::families();
  const auto other = std::find_if(families.cbegin(), families.cend(),
                                  [](const QString& family) { return family != "Verdana"; });
  if (other == families.cend()) QSKIP("Only Verdana is installed.");
  const QString face = *other;
  ormel::TOrmelPrefs& prefs = desk.form->appManager()->OrmelPrefs();
  prefs.setSettingValue("SelectedFont", face.toStdString());
  prefs.ApplyPrefs();
  QTest::keyClicks(&pad, "1/4");
  QTest::keyClick(&pad, Qt::Key_Return);
  const QString sheet = desk.program.filePath("mysheet");
  QString startedIn;
  QPoint placed;
  QPoint centred;
  QString filter;
  desk.form->setOnSheetDialog([&](QFileDialog& shown) {
    startedIn = shown.directory().absolutePath();
    placed = shown.pos();
    centred = ormel::centredOrigin(desk.form->frameGeometry(), shown.frameGeometry().size());
    filter = shown.nameFilters().join("|");
    shown.selectFile(sheet);
    QTimer::singleShot(0, &shown, &QDialog::accept);
  });
  desk.form->command("SaveSheet")->trigger();
  QCOMPARE(startedIn, QDir(desk.program.filePath("data")).absolutePath());
  QCOMPARE(filter, QString("ormelCalc sheet (*.ocs)"));
  QVERIFY(QFile::exists(sheet));
  QVERIFY(!QFile::exists(sheet + ".ocs"));
  QFile saved(sheet);
  QVERIFY(saved.open(QIODevice::ReadOnly));
  QVERIFY(saved.readAll().contains("{\\fonttbl{\\f0\\fnil\\fcharset0 " + face.toLatin1() + ";}}"));
  QCOMPARE(placed, centred);
  QTest::keyClick(&pad, Qt::Key_Escape);
  desk.form->command("LoadSheet")->trigger();
  QCOMPARE(pad.toPlainText(), QString("1/4\n 0.25"));
  QCOMPARE(formatAt(pad, 5).foreground().color().rgba(), kAnswerYellow);
  QVERIFY(formatAt(pad, 5).fontWeight() == QFont::Bold);
}

void MainWindowTest::openingPlainTextShowsItsLines() {
  Desk desk;
  QVERIFY(desk.start());
  const QString text = desk.program.filePath("notes.txt");
  QFile file(text);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("3*3\r\nplain line\n");
  file.close();
  desk.form->setOnSheetDialog([&](QFileDialog& shown) {
    shown.selectFile(text);
    QTimer::singleShot(0, &shown, &QDialog::accept);
  });
  desk.form->command("LoadSheet")->trigger();
  QCOMPARE(desk.pad().toPlainText(), QString("3*3\nplain line\n"));
  QCOMPARE(formatAt(desk.pad(), 0).foreground().color(), QColor(Qt::white));
}

void MainWindowTest::variableEditorAssignsAndSkipsTheNextRelease() {
  Desk desk;
  QVERIFY(desk.start());
  QComboBox* editor = desk.form->varsDropDownBox();
  editor->setFocus();
  // Keys go where the desktop sends them: to the focus widget, the drop-down itself.
  QCOMPARE(QApplication::focusWidget(), editor);
  QTest::keyClicks(QApplication::focusWidget(), "x = 5");
  QTest::keyPress(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(QApplication::focusWidget(), &desk.pad());
  QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(desk.form->varsTextLabelWidget()->text(), QString("X=5"));
  QCOMPARE(editor->currentText(), QString());
  QCOMPARE(editor->itemText(0), QString("X=5"));
  QTest::keyClicks(QApplication::focusWidget(), "x*2");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(lineText(desk.pad(), 1), QString(" 10"));

  editor->setFocus();
  QTest::keyClicks(QApplication::focusWidget(), "hello");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(desk.form->statusTextLabel()->text(), QString("Not a variable assignment"));
  QCOMPARE(editor->currentText(), QString());
}

void MainWindowTest::functionsDropDownInsertsACall() {
  Desk desk;
  QVERIFY(desk.start());
  QComboBox* functions = desk.form->funcsDropDownBox();
  const int power = functions->findText("POWER [2 Arg]");
  QVERIFY(power >= 0);
  QVERIFY(functions->findText("LOG [1 Arg]") < functions->findText("LOG10 [1 Arg]"));
  emit functions->activated(power);
  QCOMPARE(desk.pad().toPlainText(), QString("POWER()"));
  QCOMPARE(desk.pad().textCursor().position(), 6);
  QCOMPARE(formatAt(desk.pad(), 0).foreground().color(), QColor(Qt::red));
  functions->setFocus();
  QCOMPARE(QApplication::focusWidget(), functions);
  QTest::keyClicks(QApplication::focusWidget(), "sqrt");
  QCOMPARE(functions->currentText(), QString("SQRT"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCOMPARE(desk.pad().toPlainText(), QString("POWER(SQRT())"));
  QCOMPARE(desk.pad().textCursor().position(), 11);
  QCOMPARE(functions->currentText(), QString("SQRT"));
  QCOMPARE(QApplication::focusWidget(), &desk.pad());
}

void MainWindowTest::functionsDropDownInsertsOnlyWhatIsChosen_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<QString>("inserted");
  QTest::newRow("wheel over the closed list") << "wheel"
                                              << "";
  QTest::newRow("Down opens the list") << "down"
                                       << "";
  QTest::newRow("Enter on the highlighted item") << "down enter"
                                                 << "ABS()";
  QTest::newRow("click in the open list") << "down click"
                                          << "ARCCOS()";
  QTest::newRow("typed name and Enter") << "type enter"
                                        << "SIN()";
}

void MainWindowTest::functionsDropDownInsertsOnlyWhatIsChosen() {
  QFETCH(QString, how);
  QFETCH(QString, inserted);
  Desk desk;
  QVERIFY(desk.start());
  QComboBox* functions = desk.form->funcsDropDownBox();
  QCOMPARE(functions->currentIndex(), 0);
  QCOMPARE(functions->itemText(0), QString("ABS [1 Arg]"));
  functions->setFocus();
  for (const QString& step : how.split(' ')) {
    if (step == "wheel") {
      const QPointF at = QRectF(functions->rect()).center();
      for (const int notch : {-120, -120, 120}) {
        QWheelEvent wheel(at, functions->mapToGlobal(at), {}, {0, notch}, Qt::NoButton, {}, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(functions, &wheel);
      }
    } else if (step == "down") {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
      QTRY_VERIFY(functions->view()->isVisible());
    } else if (step == "enter") {
      // An open list takes the keys: they go to the popup, as the desktop sends them.
      QWidget* popup = QApplication::activePopupWidget();
      QWidget* target = popup == nullptr       ? QApplication::focusWidget()
                        : popup->focusWidget() ? popup->focusWidget()
                                               : popup;
      QTest::keyClick(target, Qt::Key_Return);
    } else if (step == "click") {
      QAbstractItemView* list = functions->view();
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                        list->visualRect(list->model()->index(1, 0)).center());
    } else if (step == "type") {
      QTest::keyClicks(QApplication::focusWidget(), "sin");
    }
  }
  QCOMPARE(desk.pad().toPlainText(), inserted);
  if (!inserted.isEmpty()) QTRY_COMPARE(QApplication::focusWidget(), &desk.pad());
}

void MainWindowTest::theEnterThatClosesADialogIsNotThePads_data() {
  QTest::addColumn<QString>("dialog");
  QTest::addColumn<QString>("line");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("released");
  QTest::newRow("error box") << "error"
                             << "1/0"
                             << "1/0\n"
                             << true;
  QTest::newRow("save dialog") << "save"
                               << "2+3"
                               << "2+3\n 5" << true;
  // The pad's own Enter went up while the dialog had the keys: the later release is not its.
  QTest::newRow("save dialog over a held Enter") << "save"
                                                 << "2+3"
                                                 << "2+3\n"
                                                 << false;
}

void MainWindowTest::theEnterThatClosesADialogIsNotThePads() {
  QFETCH(QString, dialog);
  QFETCH(QString, line);
  QFETCH(QString, text);
  QFETCH(bool, released);
  Desk desk;
  QVERIFY(desk.start());
  const QString sheet = desk.program.filePath("enter.ocs");
  int dialogs = 0;
  // Enter goes down in the dialog, which closes on it; its release then reaches the pad.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (shown == nullptr || !shown->isVisible()) return;
    if (QApplication::focusWidget() == nullptr || QApplication::focusWidget()->window() != shown) {
      shown->activateWindow();
      return;
    }
    ++dialogs;
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Return);
  });
  poll.start(20);
  desk.form->setOnSheetDialog([&](QFileDialog& shown) { shown.selectFile(sheet); });
  QTest::keyClicks(QApplication::focusWidget(), line);
  QTest::keyPress(QApplication::focusWidget(), Qt::Key_Return);
  if (released) QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
  if (dialog == "save") QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
  QTRY_COMPARE(dialogs, 1);
  // The window manager gives the window back its activation, and the pad its focus.
  desk.form->activateWindow();
  QTRY_COMPARE(QApplication::focusWidget(), &desk.pad());
  QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
  QTest::qWait(100);
  QCOMPARE(dialogs, 1);
  QCOMPARE(desk.pad().toPlainText(), text);
  QCOMPARE(QFile::exists(sheet), dialog == "save");
  // The pad's own keys still work.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyClicks(QApplication::focusWidget(), "6*7");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QVERIFY(desk.pad().toPlainText().endsWith("6*7\n 42"));
}

void MainWindowTest::menuHintsShowInTheStatusBar() {
  Desk desk;
  QVERIFY(desk.start());
  QMenu* menu = desk.form->commandMenu();
  menu->popup(desk.pad().mapToGlobal(desk.pad().rect().center()));
  QTRY_VERIFY(menu->isVisible());
  const auto key = [](Qt::Key code) { QTest::keyClick(QApplication::activePopupWidget(), code); };
  // Clear Screen, Clear Variables, Recalculate, File, Settings; into Settings: Preferences...,
  // Switches...
  for (int i = 0; i < 5; ++i) key(Qt::Key_Down);
  key(Qt::Key_Right);
  QTRY_VERIFY(QApplication::activePopupWidget() != menu);
  key(Qt::Key_Down);
  QCOMPARE(static_cast<QMenu*>(QApplication::activePopupWidget())->activeAction()->text(),
           QString("Switches..."));
  QCOMPARE(desk.form->statusBar()->currentMessage(), QString("Show the switches dialog."));
  key(Qt::Key_Down);
  QCOMPARE(desk.form->statusBar()->currentMessage(), QString());
  key(Qt::Key_Up);
  QCOMPARE(desk.form->statusBar()->currentMessage(), QString("Show the switches dialog."));
  key(Qt::Key_Escape);
  key(Qt::Key_Escape);
  QTRY_VERIFY(!menu->isVisible());
  QCOMPARE(desk.form->statusBar()->currentMessage(), QString());
  QVERIFY(desk.form->statusTextLabel()->isVisible());
}

void MainWindowTest::toolbarsCloseByTheirOwnButton_data() {
  QTest::addColumn<QString>("toolbar");
  QTest::addColumn<QString>("menuItem");
  QTest::newRow("Variable Editor") << "VarsToolbar"
                                   << "VariablesMenuItem";
  QTest::newRow("Functions") << "FuncsToolbar"
                             << "FunctionsMenuItem";
  QTest::newRow("Variables List") << "VarsTextToolbar"
                                  << "VariablesTextMenuItem";
}

void MainWindowTest::toolbarsCloseByTheirOwnButton() {
  QFETCH(QString, toolbar);
  QFETCH(QString, menuItem);
  Desk desk;
  QVERIFY(desk.start());
  QToolBar* bar = desk.form->toolbar(toolbar);
  auto* close = bar->findChild<QToolButton*>(toolbar + "Close");
  QVERIFY(close != nullptr);
  QVERIFY(close->isVisible());
  // In the handle, before the first of the toolbar's own widgets.
  QVERIFY(bar->rect().contains(close->geometry()));
  QVERIFY(close->geometry().right() < bar->actionGeometry(bar->actions().constFirst()).left());
  QTest::mouseClick(close, Qt::LeftButton);
  QVERIFY(!bar->isVisible());
  QMenu* menu = desk.form->commandMenu();
  menu->popup(desk.pad().mapToGlobal(QPoint(10, 10)));
  QTRY_VERIFY(menu->isVisible());
  QVERIFY(!desk.form->findChild<QAction*>(menuItem)->isChecked());
  menu->close();
  desk.stop();
  QVERIFY(desk.read("toolbars.ini").contains(("[" + toolbar + "]\r\nRev=2000\r\nVisible=0\r\n").toLatin1()));
}

void MainWindowTest::stayOnTopKeepsTheBounds() {
  Desk desk;
  QVERIFY(desk.start());
  TForm1& form = *desk.form;
  const QRect bounds = form.geometry();
  form.appManager()->AlwaysOnTop(true);
  QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(form.geometry(), bounds);
  QVERIFY(form.isVisible());
  form.appManager()->AlwaysOnTop(false);
  QVERIFY(!form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(form.geometry(), bounds);
}

void MainWindowTest::activationAppliesTheAlwaysOnTopSwitch() {
  Desk desk;
  QVERIFY(desk.start());
  TForm1& form = *desk.form;
  const QRect bounds = form.geometry();
  ormel::TOrmelSettings& switches = form.appManager()->OrmelSettings();
  switches.setSettingValue(switches.getSettingIndex("AlwaysOnTop"), true);
  QEvent activation(QEvent::ActivationChange);
  QApplication::sendEvent(&form, &activation);
  QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  switches.setSettingValue(switches.getSettingIndex("AlwaysOnTop"), false);
  QApplication::sendEvent(&form, &activation);
  QVERIFY(!form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(form.geometry(), bounds);
}

void MainWindowTest::typingIsUndoneAndRedone() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QTest::keyClicks(&pad, "12");
  QTest::keyClick(&pad, Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(pad.toPlainText().size() < 2);
  QTest::keyClick(&pad, Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(pad.toPlainText(), QString("12"));
  QTest::keyClick(&pad, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(pad.toPlainText(), QString("12"));
}

void MainWindowTest::linesRunLeftToRightWhateverTheirScript() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  // A line that starts in a right-to-left script still runs left to right, as every expression
  // does (and the layout need not read each line to find its direction).
  for (const QChar character : QString::fromUtf8("\u05E9\u05DC\u05D5\u05DD*x"))
    QTest::sendKeyEvent(QTest::Click, &pad, Qt::Key_unknown, QString(character), Qt::NoModifier);
  QCOMPARE(pad.toPlainText().size(), 6);
  QCOMPARE(pad.document()->firstBlock().textDirection(), Qt::LeftToRight);
}

namespace {

/// A form whose dialogs only record how the application manager shows them.
class DialogRecordingForm final : public TForm1 {
 public:
  using TForm1::TForm1;
  enum class Kind { Settings, Preferences, Hotkeys, About };
  struct Record {
    Kind kind;
    bool prepared = false;
    bool stayOnTop = false;
    bool shown = false;
    bool destroyed = false;
  };
  std::vector<std::shared_ptr<Record>> records;

  std::unique_ptr<ormel::SettingsDialog> createSettingsDialog() override {
    return make<Settings>(Kind::Settings);
  }
  std::unique_ptr<ormel::PrefsDialog> createPrefsDialog() override { return make<Prefs>(Kind::Preferences); }
  std::unique_ptr<ormel::HotkeysDialog> createHotkeysDialog() override {
    return make<Hotkeys>(Kind::Hotkeys);
  }
  std::unique_ptr<ormel::ModalDialog> createAboutDialog() override {
    auto dialog = make<Dialog<ormel::ModalDialog>>(Kind::About);
    // The about box needs no preparation.
    records.back()->prepared = true;
    return dialog;
  }

 private:
  template <class Interface>
  class Dialog : public Interface {
   public:
    explicit Dialog(std::shared_ptr<Record> record) : m_record(std::move(record)) {}
    ~Dialog() override { m_record->destroyed = true; }
    void setStayOnTop(bool onTop) override { m_record->stayOnTop = onTop; }
    void showModal() override { m_record->shown = m_record->prepared && !m_record->destroyed; }

   protected:
    std::shared_ptr<Record> m_record;
  };
  struct Settings final : Dialog<ormel::SettingsDialog> {
    using Dialog::Dialog;
    void FillList(ormel::TOrmelSettings& /*store*/) override { m_record->prepared = true; }
  };
  struct Prefs final : Dialog<ormel::PrefsDialog> {
    using Dialog::Dialog;
    void Init(ormel::TOrmelPrefs& /*store*/) override { m_record->prepared = true; }
  };
  struct Hotkeys final : Dialog<ormel::HotkeysDialog> {
    using Dialog::Dialog;
    void FillList(ormel::ActionList& /*actions*/) override { m_record->prepared = true; }
  };

  template <class Made>
  std::unique_ptr<Made> make(Kind kind) {
    records.push_back(std::make_shared<Record>(Record{kind}));
    return std::make_unique<Made>(records.back());
  }
};

}  // namespace

void MainWindowTest::dialogsFollowTheDialogPattern_data() {
  QTest::addColumn<QString>("command");
  QTest::addColumn<int>("kind");
  QTest::addColumn<bool>("alwaysOnTop");
  QTest::newRow("Switches") << "SettingsAction" << int(DialogRecordingForm::Kind::Settings) << false;
  QTest::newRow("Preferences on top")
      << "PrefrencesAction" << int(DialogRecordingForm::Kind::Preferences) << true;
  QTest::newRow("Hotkeys") << "HotkeysAction" << int(DialogRecordingForm::Kind::Hotkeys) << false;
  QTest::newRow("About on top") << "AboutAction" << int(DialogRecordingForm::Kind::About) << true;
}

void MainWindowTest::dialogsFollowTheDialogPattern() {
  QFETCH(QString, command);
  QFETCH(int, kind);
  QFETCH(bool, alwaysOnTop);
  QTemporaryDir program;
  DialogRecordingForm form({program.path().toStdString(), program.path().toStdString()});
  QVERIFY(form.FormCreate());
  ormel::TOrmelSettings& switches = form.appManager()->OrmelSettings();
  switches.setSettingValue(switches.getSettingIndex("AlwaysOnTop"), alwaysOnTop);
  form.command(command)->trigger();
  QCOMPARE(form.records.size(), std::size_t(1));
  QCOMPARE(int(form.records[0]->kind), kind);
  QCOMPARE(form.records[0]->stayOnTop, alwaysOnTop);
  QVERIFY(form.records[0]->shown);
  QVERIFY(form.records[0]->destroyed);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
