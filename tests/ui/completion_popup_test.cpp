#include "ui/completion_popup.h"

#include <QListWidget>
#include <QTextBlock>

#include "ui/ui_test_support.h"

using ormel::CompletionPopup;
using ormel::testing_support::Desk;

namespace {

QWidget* focused() { return QApplication::focusWidget(); }

QStringList shownChoices(const CompletionPopup& popup) {
  QStringList labels;
  if (!popup.isShown()) return labels;
  for (int row = 0; row < popup.list()->count(); ++row) labels << popup.list()->item(row)->text();
  return labels;
}

QColor colourAt(const ormel::ScratchPadEdit& pad, int position) {
  QTextCursor cursor(pad.document());
  cursor.setPosition(position + 1);
  return cursor.charFormat().foreground().color();
}

/// Types text with each key pressed before the previous one is released, as a fast typist does.
void typeOverlapping(QWidget* target, const QString& text) {
  for (int i = 0; i < text.size(); ++i) {
    QTest::keyPress(target, text[i].toLatin1());
    if (i > 0) QTest::keyRelease(target, text[i - 1].toLatin1());
  }
  QTest::keyRelease(target, text.back().toLatin1());
}

}  // namespace

class CompletionPopupTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void tabInsertsTheChosenFunction();
  void escClosesOnlyTheListAndASecondEscClearsTheScreen();
  void enterWithTheListOpenFinishesTheLine();
  void typingAtFullSpeedGivesWhatItGaveBefore_data();
  void typingAtFullSpeedGivesWhatItGaveBefore();
  void upAndDownMoveInTheListOnlyWhileItShows();
  void aClickInsertsTheEntryAndKeepsTheFocus();
  void noListInANumberOrAHexConstant();
};

void CompletionPopupTest::tabInsertsTheChosenFunction() {
  Desk desk;
  QVERIFY(desk.start());
  CompletionPopup& popup = *desk.form->completionPopup();
  QTest::keyClicks(focused(), "2*s");
  QVERIFY(!popup.isShown());
  QTest::keyClicks(focused(), "q");
  QCOMPARE(shownChoices(popup), (QStringList{"SQR [1 Arg]", "SQRT [1 Arg]"}));
  QTest::keyClicks(focused(), "r");
  QCOMPARE(shownChoices(popup), (QStringList{"SQR [1 Arg]", "SQRT [1 Arg]"}));
  QTest::keyClick(focused(), Qt::Key_Down);
  QTest::keyClick(focused(), Qt::Key_Tab);
  QVERIFY(!popup.isShown());
  QCOMPARE(focused(), &desk.pad());
  QCOMPARE(desk.pad().toPlainText(), QString("2*SQRT()"));
  QCOMPARE(desk.pad().textCursor().position(), 7);
  QCOMPARE(colourAt(desk.pad(), 2), QColor(Qt::red));
  // The completion is one undo step.
  QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(desk.pad().toPlainText(), QString("2*sqr"));
  QTest::keyClick(focused(), Qt::Key_End);
  QTest::keyClicks(focused(), "t");
  QCOMPARE(shownChoices(popup), QStringList{"SQRT [1 Arg]"});
  QTest::keyClick(focused(), Qt::Key_Tab);
  QCOMPARE(desk.pad().textCursor().position(), 7);
  QTest::keyClicks(focused(), "16");
  QCOMPARE(colourAt(desk.pad(), 7), QColor(Qt::white));
  QTest::keyClick(focused(), Qt::Key_Return, Qt::ControlModifier);
  QCOMPARE(desk.pad().toPlainText(), QString("2*SQRT(16)\n 8"));
}

void CompletionPopupTest::escClosesOnlyTheListAndASecondEscClearsTheScreen() {
  Desk desk;
  QVERIFY(desk.start());
  CompletionPopup& popup = *desk.form->completionPopup();
  QTest::keyClicks(focused(), "1+co");
  QVERIFY(popup.isShown());
  QTest::keyClick(focused(), Qt::Key_Escape);
  QVERIFY(!popup.isShown());
  QCOMPARE(desk.pad().toPlainText(), QString("1+co"));
  QTest::keyClick(focused(), Qt::Key_Escape);
  QCOMPARE(desk.pad().toPlainText(), QString());
}

void CompletionPopupTest::enterWithTheListOpenFinishesTheLine() {
  Desk desk;
  QVERIFY(desk.start());
  CompletionPopup& popup = *desk.form->completionPopup();
  QTest::keyClicks(focused(), "ab = 3");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTest::keyClicks(focused(), "2*ab");
  QCOMPARE(shownChoices(popup), (QStringList{"AB = 3", "ABS [1 Arg]"}));
  QTest::keyClick(focused(), Qt::Key_Return);
  QVERIFY(!popup.isShown());
  QCOMPARE(desk.pad().toPlainText(), QString("ab = 3\n2*ab\n 6"));
}

void CompletionPopupTest::typingAtFullSpeedGivesWhatItGaveBefore_data() {
  QTest::addColumn<bool>("overlapping");
  QTest::newRow("one key after the other") << false;
  QTest::newRow("each key down before the last is up") << true;
}

void CompletionPopupTest::typingAtFullSpeedGivesWhatItGaveBefore() {
  QFETCH(bool, overlapping);
  Desk desk;
  QVERIFY(desk.start());
  QTest::keyClicks(focused(), "x=2");
  QTest::keyClick(focused(), Qt::Key_Return);
  if (overlapping) {
    typeOverlapping(focused(), "SIN(X)+MAX(X,1)");
  } else {
    QTest::keyClicks(focused(), "SIN(X)+MAX(X,1)");
  }
  QVERIFY(!desk.form->completionPopup()->isShown());
  QTest::keyClick(focused(), Qt::Key_Return);
  QCOMPARE(desk.pad().toPlainText(), QString("x=2\nSIN(X)+MAX(X,1)\n 2.909"));
  // Nothing was inserted as a function: no character took the function colour.
  for (int at = 4; at < 19; ++at) QVERIFY(colourAt(desk.pad(), at) != QColor(Qt::red));
}

void CompletionPopupTest::upAndDownMoveInTheListOnlyWhileItShows() {
  Desk desk;
  QVERIFY(desk.start());
  CompletionPopup& popup = *desk.form->completionPopup();
  QTest::keyClicks(focused(), "1");
  QTest::keyClick(focused(), Qt::Key_Return);
  QTest::keyClicks(focused(), "lo");
  QVERIFY(popup.isShown());
  const int caret = desk.pad().textCursor().position();
  QTest::keyClick(focused(), Qt::Key_Down);
  QTest::keyClick(focused(), Qt::Key_Down);
  QTest::keyClick(focused(), Qt::Key_Up);
  QCOMPARE(popup.list()->currentRow(), 1);
  QCOMPARE(desk.pad().textCursor().position(), caret);
  QTest::keyClick(focused(), Qt::Key_Escape);
  QTest::keyClick(focused(), Qt::Key_Up);
  QCOMPARE(desk.pad().textCursor().blockNumber(), 0);
}

void CompletionPopupTest::aClickInsertsTheEntryAndKeepsTheFocus() {
  Desk desk;
  QVERIFY(desk.start());
  CompletionPopup& popup = *desk.form->completionPopup();
  QTest::keyClicks(focused(), "ma");
  QVERIFY(popup.isShown());
  QListWidget& list = *popup.list();
  QCOMPARE(list.focusPolicy(), Qt::NoFocus);
  const QRect first = list.visualItemRect(list.item(0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
  QCOMPARE(desk.pad().toPlainText(), QString("MAX()"));
  QCOMPARE(focused(), &desk.pad());
  QVERIFY(!popup.isShown());
}

void CompletionPopupTest::noListInANumberOrAHexConstant() {
  Desk desk;
  QVERIFY(desk.start());
  CompletionPopup& popup = *desk.form->completionPopup();
  for (const char* typed : {"$ab", "2DI", "1.EX", "1E5"}) {
    QTest::keyClick(focused(), Qt::Key_Escape);
    QTest::keyClicks(focused(), typed);
    QVERIFY2(!popup.isShown(), typed);
  }
}

QTEST_MAIN(CompletionPopupTest)
#include "completion_popup_test.moc"
