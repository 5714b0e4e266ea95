// The recovery copy in the real window: the snapshot follows every kind of edit, typing is
// written within seconds, and a window that never closed is offered back at the next start.
#include <unistd.h>

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>

#include "app/recovery_copy.h"
#include "scratchpad/content_file.h"
#include "ui/command_keys.h"
#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;
using ormel::testing_support::MessageBoxAnswerer;

namespace {

using Edit = std::function<void(Desk&)>;

void typeLine(Desk& desk, const char* line) {
  QTest::keyClicks(&desk.pad(), line);
  QTest::keyClick(&desk.pad(), Qt::Key_Return);
}

QTextCursor cursorAt(Desk& desk, int position, int anchor = -1) {
  QTextCursor cursor(desk.pad().document());
  cursor.setPosition(anchor < 0 ? position : anchor);
  if (anchor >= 0) cursor.setPosition(position, QTextCursor::KeepAnchor);
  return cursor;
}

void setCaret(Desk& desk, int position, int anchor = -1) {
  desk.pad().setTextCursor(cursorAt(desk, position, anchor));
}

ormel::StyledText snapshotText(Desk& desk) { return desk.form->textControl().snapshot().lines(); }

QString recoveryFile(const char* stem) { return QString("%1.recovery-%2").arg(stem).arg(::getpid()); }

QByteArray settingsWith(const char* saveWorkspace) {
  return QByteArray("<settings>\r\n <saveworkspace value=\"") + saveWorkspace + "\" />\r\n</settings>\r\n";
}

}  // namespace

Q_DECLARE_METATYPE(Edit)

class RecoveryTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void snapshotFollowsEveryEdit_data();
  void snapshotFollowsEveryEdit();
  void typingIsWrittenAndComesBackAfterACrash();
  void noKeepsTodaysStartAndSetsTheCopyAside();
  void aNormalEndRemovesTheCopyAlsoWithoutWorkspace();
  void theVariableEditorAloneIsCopiedToo();
};

void RecoveryTest::snapshotFollowsEveryEdit_data() {
  QTest::addColumn<Edit>("edit");
  const auto keys = [](const char* text) {
    return [text](Desk& desk) { QTest::keyClicks(&desk.pad(), text); };
  };
  QTest::newRow("typing") << Edit(keys("2+3"));
  QTest::newRow("Enter in the middle of a line") << Edit([](Desk& desk) {
    setCaret(desk, 5);
    QTest::keyClick(&desk.pad(), Qt::Key_Return);
  });
  QTest::newRow("Backspace joins two lines") << Edit([](Desk& desk) {
    setCaret(desk, desk.pad().document()->findBlockByNumber(1).position());
    QTest::keyClick(&desk.pad(), Qt::Key_Backspace);
  });
  QTest::newRow("a selection over three lines deleted") << Edit([](Desk& desk) {
    setCaret(desk, 12, 3);
    QTest::keyClick(&desk.pad(), Qt::Key_Delete);
  });
  QTest::newRow("a multi-line text put in") << Edit([](Desk& desk) {
    setCaret(desk, 4);
    desk.form->textControl().setSelText("a\nb\r\nc");
  });
  QTest::newRow("a selection restyled") << Edit([](Desk& desk) {
    setCaret(desk, 2, 9);
    desk.form->textControl().setSelAttributes(ormel::CharStyle{0x0000FF, false});
  });
  QTest::newRow("a line replaced") << Edit(
      [](Desk& desk) { desk.form->textControl().setLine(1, "one\ntwo"); });
  QTest::newRow("Clear Screen") << Edit([](Desk& desk) { desk.form->command("ClearScreen")->trigger(); });
  QTest::newRow("undo after redo") << Edit([](Desk& desk) {
    desk.pad().undo();
    desk.pad().undo();
    desk.pad().redo();
  });
  QTest::newRow("the default text colour changes") << Edit([](Desk& desk) {
    QTextCursor cursor = cursorAt(desk, 0);
    cursor.insertText("plain", QTextCharFormat());
    desk.form->textControl().setDefaultTextColor(0x123456);
  });
}

void RecoveryTest::snapshotFollowsEveryEdit() {
  QFETCH(Edit, edit);
  Desk desk;
  QVERIFY(desk.start());
  typeLine(desk, "r = 1/3");
  typeLine(desk, "r*3");
  typeLine(desk, "$FF");
  edit(desk);
  QVERIFY(ormel::sameCharacters(snapshotText(desk), desk.form->textControl().content()));
  QCOMPARE(ormel::writeRtf(desk.form->textControl().snapshot()),
           ormel::writeRtf(desk.form->textControl().content()));
}

void RecoveryTest::typingIsWrittenAndComesBackAfterACrash() {
  Desk desk;
  QVERIFY(desk.start());
  typeLine(desk, "r = 1/3");
  typeLine(desk, "r*3");
  QTRY_VERIFY_WITH_TIMEOUT(desk.read(recoveryFile("vars.xml")).contains("name=\"R\""), 5000);
  desk.form->recoveryCopy()->waitUntilWritten();
  QVERIFY(desk.read(recoveryFile("workspace.dat")).contains(" 1"));
  const QString typed = desk.pad().toPlainText();
  // Gone without closing: nothing saved, the copy stays.
  desk.form.reset();
  QVERIFY(!QFileInfo::exists(desk.dataFile("workspace.dat")));

  MessageBoxAnswerer answerer;
  answerer.answer = QMessageBox::Yes;
  bool yesIsDefault = false;
  answerer.onBox = [&](QMessageBox& box) {
    yesIsDefault = box.defaultButton() == box.button(QMessageBox::Yes) && box.defaultButton() != nullptr;
  };
  QVERIFY(desk.start());
  QCOMPARE(answerer.texts.size(), 1);
  QVERIFY(answerer.texts[0].startsWith(
      "ormelCalc did not close normally. Restore the scratch pad and variables from "));
  QVERIFY(answerer.texts[0].endsWith("?"));
  QVERIFY(yesIsDefault);
  QCOMPARE(desk.pad().toPlainText(), typed);
  QVERIFY(typed.startsWith("r = 1/3\nr*3\n 1"));
  QTextCursor answer = cursorAt(desk, desk.pad().document()->findBlockByNumber(2).position() + 2);
  QCOMPARE(answer.charFormat().foreground().color(), QColor(Qt::yellow));
  QCOMPARE(answer.charFormat().fontWeight(), int(QFont::Bold));
  QCOMPARE(desk.form->varsTextLabelWidget()->text(), QString("R=0.333333333333333"));
  desk.stop();
  QVERIFY(desk.read("workspace.dat").contains("r*3"));
  QVERIFY(desk.read("vars.xml").contains("name=\"R\""));
  QVERIFY(!QFileInfo::exists(desk.dataFile(recoveryFile("workspace.dat"))));
  QVERIFY(!QFileInfo::exists(desk.dataFile(recoveryFile("vars.xml"))));
}

void RecoveryTest::noKeepsTodaysStartAndSetsTheCopyAside() {
  Desk desk;
  QVERIFY(desk.start());
  typeLine(desk, "1+1");
  const QString today = desk.pad().toPlainText();
  desk.stop();
  QVERIFY(desk.start());
  typeLine(desk, "x = 9");
  QTRY_VERIFY_WITH_TIMEOUT(desk.read(recoveryFile("vars.xml")).contains("name=\"X\""), 5000);
  desk.form->recoveryCopy()->waitUntilWritten();
  desk.form.reset();

  MessageBoxAnswerer answerer;
  answerer.answer = QMessageBox::No;
  QVERIFY(desk.start());
  QCOMPARE(answerer.texts.size(), 1);
  QCOMPARE(desk.pad().toPlainText(), today);
  QCOMPARE(desk.form->varsTextLabelWidget()->text(), QString("No defined variables"));
  const QStringList aside =
      QDir(desk.dataFile("")).entryList({QString("*.recovery-%1.recovered-*").arg(::getpid())}, QDir::Files);
  QCOMPARE(aside.size(), 2);
  QVERIFY(desk.read(aside.filter("vars.xml").constFirst()).contains("name=\"X\""));
  desk.stop();
  QVERIFY(desk.start());
  QCOMPARE(answerer.texts.size(), 1);
}

void RecoveryTest::aNormalEndRemovesTheCopyAlsoWithoutWorkspace() {
  Desk desk;
  desk.write("settings.xml", settingsWith("False"));
  QVERIFY(desk.start());
  typeLine(desk, "6*7");
  QTRY_VERIFY_WITH_TIMEOUT(desk.read(recoveryFile("workspace.dat")).contains(" 42"), 5000);
  desk.stop();
  QVERIFY(!QFileInfo::exists(desk.dataFile("workspace.dat")));
  QVERIFY(!QFileInfo::exists(desk.dataFile(recoveryFile("workspace.dat"))));
  QVERIFY(!QFileInfo::exists(desk.dataFile(recoveryFile("vars.xml"))));
}

void RecoveryTest::theVariableEditorAloneIsCopiedToo() {
  Desk desk;
  QVERIFY(desk.start());
  // As the variable editor's own tests do: its Enter is taken from the line edit.
  QLineEdit* editor = desk.form->varsDropDownBox()->lineEdit();
  editor->setFocus();
  QTest::keyClicks(editor, "y = 4");
  QTest::keyPress(editor, Qt::Key_Return);
  QTest::keyRelease(&desk.pad(), Qt::Key_Return);
  QCOMPARE(desk.form->varsTextLabelWidget()->text(), QString("Y=4"));
  QCOMPARE(desk.pad().toPlainText(), QString());
  QTRY_VERIFY_WITH_TIMEOUT(desk.read(recoveryFile("vars.xml")).contains("name=\"Y\""), 5000);
}

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
