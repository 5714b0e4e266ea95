// Recalculate in the real window: the command's key, menu entry and hint, one undo step, the
// marks of the answers that changed, and errors that stay out of message boxes.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTextBlock>

#include "config/shortcut_text.h"
#include "ui/answer_highlight.h"
#include "ui/command_keys.h"
#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;
using ormel::testing_support::MessageBoxAnswerer;

namespace {

/// Types text and presses Enter in the widget that has the keyboard focus, line by line.
void enterLines(const QStringList& lines) {
  for (const QString& line : lines) {
    QTest::keyClicks(QApplication::focusWidget(), line);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  }
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

/// Replaces line 0 by text as a user does: Ctrl+Home, Shift+End, typing.
void retypeFirstLine(const QString& text) {
  press(Qt::Key_Home, Qt::ControlModifier);
  press(Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClicks(QApplication::focusWidget(), text);
}

/// The pad's error marks as "line:the text under the mark".
QStringList marksOf(const Desk& desk) {
  QStringList marks;
  for (const ormel::ErrorMark& mark : desk.form->errorMarks()->marks()) {
    const QString line = desk.pad().document()->findBlockByNumber(mark.line).text();
    marks << QString("%1:%2").arg(mark.line).arg(line.mid(mark.span.start, mark.span.length));
  }
  return marks;
}

}  // namespace

class RecalculateTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void answersBelowAChangedAssignmentChangeAndUndoRestoresThem();
  void errorsStayOnTheStatusLine();
  void failingLinesAreMarkedWhereTheyEndUp_data();
  void failingLinesAreMarkedWhereTheyEndUp();
  void commandHasItsFixedKeyMenuEntryAndHint();
};

void RecalculateTest::answersBelowAChangedAssignmentChangeAndUndoRestoresThem() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QCOMPARE(QApplication::focusWidget(), &pad);
  // Enter at the end of an answer line opens the next line, without an answer.
  enterLines({"x = 2", "x*3", "", "x+1", "", "10/4"});
  const QString before = "x = 2\nx*3\n 6\nx+1\n 3\n10/4\n 2.5";
  QCOMPARE(pad.toPlainText(), before);
  retypeFirstLine("x = 5");
  const QString edited = "x = 5\nx*3\n 6\nx+1\n 3\n10/4\n 2.5";
  QCOMPARE(pad.toPlainText(), edited);
  press(Qt::Key_Left);

  press(Qt::Key_F5);
  QCOMPARE(pad.toPlainText(), QString("x = 5\nx*3\n 15\nx+1\n 6\n10/4\n 2.5"));
  QCOMPARE(desk.form->statusTextLabel()->text(), QString("Recalculated 4 lines, 2 answers changed."));
  // The caret is back on line 0, one column left of its end.
  QCOMPARE(pad.textCursor().blockNumber(), 0);
  QCOMPARE(pad.textCursor().positionInBlock(), 4);
  // The new answers are answers: bold, in the answer colour.
  QTextCursor answer(pad.document()->findBlockByNumber(2));
  answer.setPosition(answer.position() + 2);
  QCOMPARE(answer.charFormat().foreground().color(), QColor(Qt::yellow));
  QCOMPARE(answer.charFormat().fontWeight(), int(QFont::Bold));

  // Only the changed answers are marked, and only for a moment.
  ormel::AnswerHighlight* highlight = desk.form->answerHighlight();
  QVERIFY(highlight != nullptr);
  const int fifteen = pad.document()->findBlockByNumber(2).position() + 1;
  const int six = pad.document()->findBlockByNumber(4).position() + 1;
  QCOMPARE(highlight->spans(),
           (std::vector<ormel::TextSpan>{ormel::TextSpan{fifteen, 2}, ormel::TextSpan{six, 1}}));
  QCOMPARE(pad.extraSelections().size(), 2);
  QTRY_VERIFY_WITH_TIMEOUT(highlight->spans().empty(), ormel::AnswerHighlight::kDuration * 3);
  QVERIFY(pad.extraSelections().isEmpty());

  // The whole run is one step of undo, and redo brings it back.
  press(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(pad.toPlainText(), edited);
  press(Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(pad.toPlainText(), QString("x = 5\nx*3\n 15\nx+1\n 6\n10/4\n 2.5"));

  // A second run changes nothing and marks nothing.
  press(Qt::Key_F5);
  QCOMPARE(desk.form->statusTextLabel()->text(), QString("Recalculated 4 lines, 0 answers changed."));
  QVERIFY(highlight->spans().empty());
}

void RecalculateTest::errorsStayOnTheStatusLine() {
  Desk desk;
  QVERIFY(desk.start());
  MessageBoxAnswerer boxes;
  enterLines({"d = 1", "1/d", "", "2*d"});
  QCOMPARE(desk.pad().toPlainText(), QString("d = 1\n1/d\n 1\n2*d\n 2"));
  retypeFirstLine("d = 0");
  press(Qt::Key_F5);
  QCOMPARE(desk.pad().toPlainText(), QString("d = 0\n1/d\n2*d\n 0"));
  QLabel& status = *desk.form->statusTextLabel();
  QCOMPARE(
      status.text(),
      QString("Recalculated 3 lines, 2 answers changed. Line 2 failed: Floating point division by zero"));
  QCOMPARE(status.palette().color(QPalette::WindowText), QColor(255, 0, 0));
  QVERIFY(status.toolTip().startsWith("Line 2: Floating point division by zero\n"));
  QTest::qWait(100);
  QVERIFY(boxes.texts.isEmpty());
}

void RecalculateTest::failingLinesAreMarkedWhereTheyEndUp_data() {
  QTest::addColumn<QByteArray>("variables");
  QTest::addColumn<QString>("sheet");
  QTest::addColumn<QString>("opened");
  QTest::addColumn<QStringList>("openedMarks");
  QTest::addColumn<QString>("firstLine");
  QTest::addColumn<QString>("edited");
  QTest::addColumn<QStringList>("editedMarks");
  QTest::newRow("a line above gains an answer, then a line above is added")
      << QByteArray() << "3*3\n2+*\n"
      << "3*3\n 9\n2+*\n"
      << QStringList{"2:2+*"} << "4*4\n3*3"
      << "4*4\n 16\n3*3\n 9\n2+*\n"
      << QStringList{"4:2+*"};
  QTest::newRow("a line above loses its answer and fails") << QByteArray() << "x = 1\n1/x\n2+*\n"
                                                           << "x = 1\n1/x\n 1\n2+*\n"
                                                           << QStringList{"3:2+*"} << "x = 0"
                                                           << "x = 0\n1/x\n2+*\n"
                                                           << QStringList{"1:1/x", "2:2+*"};
  QTest::newRow("a fixed line loses its mark") << QByteArray() << "2+*\n5*2\n"
                                               << "2+*\n5*2\n 10\n"
                                               << QStringList{"0:2+*"} << "2+3"
                                               << "2+3\n 5\n5*2\n 10\n"
                                               << QStringList{};
  QTest::newRow("a variable only in vars.xml")
      << QByteArray("<variables>\r\n <variable name=\"V\" value=\"7\" />\r\n</variables>\r\n") << "v*2\n"
      << "v*2\n 14\n"
      << QStringList{} << "v*3"
      << "v*3\n 21\n"
      << QStringList{};
}

void RecalculateTest::failingLinesAreMarkedWhereTheyEndUp() {
  QFETCH(QByteArray, variables);
  QFETCH(QString, sheet);
  QFETCH(QString, opened);
  QFETCH(QStringList, openedMarks);
  QFETCH(QString, firstLine);
  QFETCH(QString, edited);
  QFETCH(QStringList, editedMarks);
  Desk desk;
  if (!variables.isEmpty()) desk.write("vars.xml", variables);
  QVERIFY(desk.start());
  const QString file = desk.program.filePath("sheet.txt");
  QFile text(file);
  QVERIFY(text.open(QIODevice::WriteOnly));
  text.write(sheet.toUtf8());
  text.close();
  desk.form->textControl().loadContent(file.toStdString());
  press(Qt::Key_F5);
  QCOMPARE(desk.pad().toPlainText(), opened);
  QCOMPARE(marksOf(desk), openedMarks);
  // Line 0 replaced by pasting, which evaluates nothing, so the marks below keep their lines.
  QApplication::clipboard()->setText(firstLine);
  press(Qt::Key_Home, Qt::ControlModifier);
  press(Qt::Key_End, Qt::ShiftModifier);
  press(Qt::Key_V, Qt::ControlModifier);
  press(Qt::Key_F5);
  QCOMPARE(desk.pad().toPlainText(), edited);
  QCOMPARE(marksOf(desk), editedMarks);
}

void RecalculateTest::commandHasItsFixedKeyMenuEntryAndHint() {
  Desk desk;
  QVERIFY(desk.start());
  const ormel::Command* command = desk.form->command("Recalculate");
  QVERIFY(command != nullptr);
  QCOMPARE(command->text(), QString("Recalculate"));
  QVERIFY(command->category().isEmpty());
  QCOMPARE(QString::fromStdString(ormel::shortCutToText(command->shortcutCode())), QString("F5"));
  const QList<QAction*> entries = desk.form->commandMenu()->actions();
  QCOMPARE(entries.at(1)->text(), QString("Clear Variables\tF1"));
  QCOMPARE(entries.at(2)->text(), QString("Recalculate\tF5"));
  QCOMPARE(entries.at(2)->statusTip(), QString("Recalculate every line of the pad from the top."));
  // F5 reaches the command from the other widgets of the window too.
  QComboBox* editor = desk.form->varsDropDownBox();
  editor->setFocus();
  QTRY_VERIFY(editor->hasFocus());
  QTest::keyClick(editor, Qt::Key_F5);
  QCOMPARE(desk.form->statusTextLabel()->text(), QString("Recalculated 0 lines, 0 answers changed."));
  desk.stop();
  const QByteArray hotkeys = desk.read("hotkeys.xml");
  QVERIFY(hotkeys.contains("Clear Screen"));
  QVERIFY(!hotkeys.contains("Recalculate"));
}

QTEST_MAIN(RecalculateTest)
#include "recalculate_test.moc"
