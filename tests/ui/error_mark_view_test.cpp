#include "ui/error_mark_view.h"

#include <QClipboard>
#include <QFile>
#include <QHelpEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QToolTip>

#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;
using ormel::testing_support::MessageBoxAnswerer;

namespace {

QWidget* focused() { return QApplication::focusWidget(); }

/// What the pad shows underlined in red, as "line:characters above the underline".
QStringList underlines(ormel::ScratchPadEdit& pad) {
  const QImage image = pad.grab().toImage();
  const QPoint viewport = pad.viewport()->pos();
  QStringList lines;
  for (QTextBlock block = pad.document()->begin(); block.isValid(); block = block.next()) {
    QString under;
    for (int i = 0; i + 1 < block.length(); ++i) {
      QTextCursor cursor(block);
      cursor.setPosition(block.position() + i);
      const QRect left = pad.cursorRect(cursor).translated(viewport);
      cursor.setPosition(block.position() + i + 1);
      const int right = pad.cursorRect(cursor).translated(viewport).left();
      bool red = false;
      for (int x = left.left() + 1; x < right - 1 && !red; ++x) {
        for (int y = left.bottom() - 3; y <= left.bottom() + 1 && !red; ++y) {
          red = image.pixelColor(x, y) == QColor(Qt::red);
        }
      }
      if (red) under += block.text()[i];
    }
    if (!under.isEmpty()) lines << QString("%1:%2").arg(block.blockNumber()).arg(under);
  }
  return lines;
}

/// Hovers the pad at the middle of the character at position; the tooltip shown then.
QString tooltipAt(ormel::ScratchPadEdit& pad, int position) {
  QTextCursor cursor(pad.document());
  cursor.setPosition(position);
  const QRect left = pad.cursorRect(cursor);
  cursor.setPosition(position + 1);
  const QPoint at((left.left() + pad.cursorRect(cursor).left()) / 2, left.center().y());
  QToolTip::hideText();
  if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) return "a tooltip that does not go";
  QHelpEvent help(QEvent::ToolTip, at, pad.viewport()->mapToGlobal(at));
  QApplication::sendEvent(pad.viewport(), &help);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

void goToEndOfLine(ormel::ScratchPadEdit& pad, int n) {
  QTextCursor cursor(pad.document()->findBlockByNumber(n));
  cursor.movePosition(QTextCursor::EndOfBlock);
  pad.setTextCursor(cursor);
}

}  // namespace

class ErrorMarkViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void aFailedLineIsUnderlinedWithItsMessageAsTooltip();
  void theMarkIsNeitherSavedNorCopied();
  void theMarkGoesWhenItsLineIsEdited();
  void theMarkMovesWithItsLine();
  void theMarkGoesWhenTheLineSucceedsOrThePadIsCleared();
  void aHeldMarkOutlivesItsTextWrittenAgain();
};

void ErrorMarkViewTest::aHeldMarkOutlivesItsTextWrittenAgain() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QTest::keyClicks(focused(), "1");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTest::keyClicks(focused(), "2+*");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTRY_COMPARE(underlines(pad), QStringList{"1:2+*"});
  ormel::QtTextControl& control = desk.form->textControl();
  ormel::ErrorMarkView& view = *desk.form->errorMarkView();
  view.hold();
  control.setContent(control.content());
  view.release();
  QTRY_COMPARE(underlines(pad), QStringList{"1:2+*"});
  // Unheld, the same rewrite is an edit of every line; so is a held one that changes the line.
  control.setContent(control.content());
  QTRY_COMPARE(underlines(pad), QStringList{});
  QTest::keyClick(focused(), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(focused(), "3/");
  QTest::keyClick(focused(), Qt::Key_Return, Qt::ControlModifier);
  QTRY_COMPARE(underlines(pad).size(), 1);
  view.hold();
  control.setContent(ormel::StyledText{});
  view.release();
  QTRY_COMPARE(underlines(pad), QStringList{});
  QVERIFY(desk.form->errorMarks()->marks().empty());
}

void ErrorMarkViewTest::aFailedLineIsUnderlinedWithItsMessageAsTooltip() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  MessageBoxAnswerer boxes;
  QTest::keyClicks(focused(), "1 + $g1");
  QTest::keyClick(focused(), Qt::Key_Return);
  QCOMPARE(boxes.texts, QStringList{"'$G1' is not a valid integer value"});
  QTRY_COMPARE(underlines(pad), QStringList{"0:$g1"});
  QCOMPARE(tooltipAt(pad, 5), QString("'$G1' is not a valid integer value"));
  QCOMPARE(tooltipAt(pad, 1), QString());
}

void ErrorMarkViewTest::theMarkIsNeitherSavedNorCopied() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QTest::keyClicks(focused(), "2+*");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTRY_COMPARE(underlines(pad), QStringList{"0:2+*"});
  QTextCursor marked(pad.document());
  marked.setPosition(1);
  QCOMPARE(marked.charFormat().underlineStyle(), QTextCharFormat::NoUnderline);
  pad.selectAll();
  pad.copy();
  const QMimeData* copied = QApplication::clipboard()->mimeData();
  QVERIFY(copied != nullptr && copied->text() == "2+*\n");
  QVERIFY(!copied->html().contains("underline"));
  const QString sheet = desk.program.filePath("marked.ocs");
  desk.form->textControl().saveContent(sheet.toStdString());
  QFile saved(sheet);
  QVERIFY(saved.open(QIODevice::ReadOnly));
  QVERIFY(!saved.readAll().contains("\\ul"));
}

void ErrorMarkViewTest::theMarkGoesWhenItsLineIsEdited() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QTest::keyClicks(focused(), "2+*");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTest::keyClicks(focused(), "7*");
  QTRY_COMPARE(underlines(pad), QStringList{"0:2+*"});
  // Typing on the next line leaves it; typing on its own line takes it away.
  goToEndOfLine(pad, 0);
  QTest::keyClicks(focused(), "5");
  QTRY_COMPARE(underlines(pad), QStringList{});
  QCOMPARE(desk.form->errorMarks()->marks().size(), 0U);
  QCOMPARE(tooltipAt(pad, 1), QString());
}

void ErrorMarkViewTest::theMarkMovesWithItsLine() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QTest::keyClicks(focused(), "1");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTest::keyClicks(focused(), "(2");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTRY_COMPARE(underlines(pad), QStringList{"1:(2"});
  // A line opened above it, and answers written above it, move it down with its text.
  goToEndOfLine(pad, 0);
  QTest::keyClick(focused(), Qt::Key_Return);
  QTest::keyClicks(focused(), "3*4");
  QTest::keyClick(focused(), Qt::Key_Return);
  QCOMPARE(pad.toPlainText(), QString("1\n3*4\n 12\n(2\n"));
  QTRY_COMPARE(underlines(pad), QStringList{"3:(2"});
  QCOMPARE(tooltipAt(pad, pad.document()->findBlockByNumber(3).position()),
           QString("Missing brackets in expression"));
}

void ErrorMarkViewTest::theMarkGoesWhenTheLineSucceedsOrThePadIsCleared() {
  Desk desk;
  QVERIFY(desk.start());
  ormel::ScratchPadEdit& pad = desk.pad();
  QTest::keyClicks(focused(), "1/y");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTest::keyClicks(focused(), "y=4");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTRY_COMPARE(underlines(pad), QStringList{"0:1/y"});
  goToEndOfLine(pad, 0);
  QTest::keyClick(focused(), Qt::Key_Return);
  QCOMPARE(pad.document()->findBlockByNumber(1).text(), QString(" 0.25"));
  QTRY_COMPARE(underlines(pad), QStringList{});

  QTest::keyClicks(focused(), "+*");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTRY_COMPARE(underlines(pad).size(), 1);
  QTest::keyClick(focused(), Qt::Key_Escape);
  QCOMPARE(pad.toPlainText(), QString());
  QTRY_COMPARE(underlines(pad), QStringList{});
  QVERIFY(desk.form->errorMarks()->marks().empty());
}

QTEST_MAIN(ErrorMarkViewTest)
#include "error_mark_view_test.moc"
