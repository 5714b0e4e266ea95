// The Qt text control must behave as the in-memory one: every row runs one script of
// operations against both and compares everything the interface can observe afterwards.
#include "ui/qt_text_control.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <functional>
#include <sstream>

#include "base/exceptions.h"
#include "scratchpad/content_file.h"
#include "scratchpad/memory_text_control.h"

using ormel::CharStyle;
using ormel::KeyModifiers;
using ormel::TextControl;

using Script = std::function<void(TextControl&)>;
Q_DECLARE_METATYPE(Script)

namespace {

constexpr CharStyle kPlain{0xFFFFFF, true};
constexpr CharStyle kAnswer{0x00FFFF, true};
constexpr CharStyle kThin{0x0000FF, false};
/// Pairs of lines in a sheet long enough to go in by slices.
constexpr int kSheetLines = 20000;

/// Everything the interface shows, as text, so that a difference reads plainly.
std::string snapshot(const TextControl& control) {
  std::ostringstream out;
  out << "lines " << control.lineCount() << " length " << control.textLength() << "\n";
  for (int n = 0; n <= control.lineCount(); ++n) {
    out << n << ": [" << control.line(n) << "] len " << control.lineLength(n) << " start "
        << control.lineStart(n) << "\n";
  }
  const CharStyle insertion = control.selAttributes();
  out << "caret " << control.selStart() << " line " << control.caretLine() << " sel " << control.selLength()
      << " [" << control.selText() << "] insert " << insertion.color << (insertion.bold ? "b" : "")
      << "\nstyles";
  for (int position = 0; position <= control.textLength(); ++position) {
    const CharStyle style = control.styleAt(position);
    out << " " << style.color << (style.bold ? "b" : "");
  }
  return out.str();
}

/// Records the key events the controls send, as "down 35".
class KeyLog final : public ormel::KeyEventSink {
 public:
  void keyDown(int key, KeyModifiers) override { log += "down " + std::to_string(key) + ";"; }
  bool keyPress(char32_t, KeyModifiers) override { return true; }
  void keyUp(int key, KeyModifiers) override { log += "up " + std::to_string(key) + ";"; }
  std::string log;
};

void type(TextControl& control, std::string_view text, CharStyle style = kPlain) {
  control.setSelAttributes(style);
  control.setSelText(text);
}

}  // namespace

class QtTextControlTest : public QObject {
  Q_OBJECT

 private slots:
  void behavesAsTheMemoryControl_data();
  void behavesAsTheMemoryControl();
  void contentRoundTripsThroughAFile();
  void clearIsOneUndoStep();
  void openedSheetIsTheDocumentSetContentMakes_data();
  void openedSheetIsTheDocumentSetContentMakes();
  void openedSheetKeepsNoUndoHistory();
  void sheetThatCannotBeReadLeavesThePad();
  void bigSheetIsLaidOutWhereItShows();
  void whatNeedsTheWholeSheetWaitsForIt_data();
  void whatNeedsTheWholeSheetWaitsForIt();
  void openingAnotherSheetStopsTheFirst();
};

void QtTextControlTest::behavesAsTheMemoryControl_data() {
  QTest::addColumn<Script>("script");
  QTest::newRow("empty control") << Script([](TextControl&) {});
  QTest::newRow("text with CR LF, LF and CR breaks")
      << Script([](TextControl& c) { type(c, "1+2\r\n 3\nab\rc"); });
  QTest::newRow("answer style then expression style") << Script([](TextControl& c) {
    type(c, "2+3\n");
    type(c, " 5", kAnswer);
    type(c, "x", kPlain);
  });
  QTest::newRow("caret past the end goes to the end") << Script([](TextControl& c) {
    type(c, "abc\ndef");
    c.setSelStart(1000);
  });
  QTest::newRow("negative caret goes to the end") << Script([](TextControl& c) {
    type(c, "abc\ndef");
    c.setSelStart(-1);
  });
  QTest::newRow("insertion style at a line start is the first character's") << Script([](TextControl& c) {
    type(c, "ab\n");
    type(c, "cd", kAnswer);
    c.setSelStart(c.lineStart(1));
  });
  QTest::newRow("insertion style on an empty line is the line's own") << Script([](TextControl& c) {
    type(c, "ab", kThin);
    type(c, "\n", kAnswer);
    c.setSelStart(0);
    c.setSelStart(c.lineStart(1));
  });
  QTest::newRow("selection clipped at the end") << Script([](TextControl& c) {
    type(c, "abc\ndef");
    c.setSelStart(2);
    c.setSelLength(100);
  });
  QTest::newRow("negative selection length selects nothing") << Script([](TextControl& c) {
    type(c, "abc");
    c.setSelStart(1);
    c.setSelLength(-4);
  });
  QTest::newRow("selection across lines replaced") << Script([](TextControl& c) {
    type(c, "abc\ndef\nghi");
    c.setSelStart(2);
    c.setSelLength(7);
    type(c, "X\nY", kAnswer);
  });
  QTest::newRow("styling a selection styles what replaces it") << Script([](TextControl& c) {
    type(c, "abcdef");
    c.setSelStart(1);
    c.setSelLength(3);
    c.setSelAttributes(kThin);
    c.setSelText("Q");
  });
  QTest::newRow("setLine with the caret behind the line") << Script([](TextControl& c) {
    type(c, "a.5\nbb");
    c.setLine(0, "a0.5");
  });
  QTest::newRow("setLine with the caret inside the line") << Script([](TextControl& c) {
    type(c, "(.5)\nbb", kThin);
    c.setSelStart(2);
    c.setLine(0, "(0.5)");
  });
  QTest::newRow("setLine with the caret before the line") << Script([](TextControl& c) {
    type(c, "aa\nbb\ncc");
    c.setSelStart(1);
    c.setLine(1, "bbbb");
  });
  QTest::newRow("setLine of a missing line changes nothing") << Script([](TextControl& c) {
    type(c, "aa");
    c.setLine(5, "zz");
  });
  QTest::newRow("setLine with a line break makes two lines") << Script([](TextControl& c) {
    type(c, "aa\nbb");
    c.setLine(0, "x\r\ny");
  });
  QTest::newRow("non-ASCII counts UTF-16 units") << Script([](TextControl& c) {
    type(c, "\xC3\xA9\xF0\x9F\x98\x80=1\n\xE2\x82\xAC");
    c.setSelStart(3);
    c.setSelLength(2);
  });
  QTest::newRow("caret to end of line") << Script([](TextControl& c) {
    type(c, "4*5\nzz");
    c.setSelStart(1);
    c.caretToEndOfLine();
  });
  QTest::newRow("clear empties text and style") << Script([](TextControl& c) {
    type(c, " 5\n", kAnswer);
    c.clear();
  });
  QTest::newRow("deleting a selection by an empty text") << Script([](TextControl& c) {
    type(c, "a\nb\nc");
    c.setSelStart(1);
    c.setSelLength(2);
    c.setSelText("");
  });
}

void QtTextControlTest::behavesAsTheMemoryControl() {
  QFETCH(Script, script);
  ormel::MemoryTextControl memory(kPlain);
  QPlainTextEdit editor;
  ormel::QtTextControl qt(editor);
  qt.setDefaultTextColor(kPlain.color);
  KeyLog memoryKeys;
  KeyLog qtKeys;
  memory.setKeyEventSink(&memoryKeys);
  qt.setKeyEventSink(&qtKeys);
  script(memory);
  script(qt);
  QCOMPARE(QString::fromStdString(snapshot(qt)), QString::fromStdString(snapshot(memory)));
  QCOMPARE(QString::fromStdString(qtKeys.log), QString::fromStdString(memoryKeys.log));
}

void QtTextControlTest::contentRoundTripsThroughAFile() {
  QTemporaryDir folder;
  const std::string sheet = folder.filePath("sheet.ocs").toStdString();
  QPlainTextEdit editor;
  ormel::QtTextControl qt(editor);
  qt.setDefaultTextColor(kPlain.color);
  type(qt, "2+3\n");
  type(qt, " 5", kAnswer);
  type(qt, "\nthin \xC3\xA9", kThin);
  const std::string before = snapshot(qt);
  qt.saveContent(sheet);
  qt.clear();
  qt.loadContent(sheet);
  qt.setSelStart(-1);
  ormel::MemoryTextControl memory(kPlain);
  memory.loadContent(sheet);
  memory.setSelStart(-1);
  QCOMPARE(QString::fromStdString(snapshot(qt)), QString::fromStdString(snapshot(memory)));
  QVERIFY(snapshot(qt).find(" 5") != std::string::npos);
  QCOMPARE(qt.styleAt(qt.lineStart(1) + 1), kAnswer);
  QCOMPARE(qt.styleAt(qt.lineStart(2)), kThin);
  QCOMPARE(qt.line(2), std::string("thin \xC3\xA9"));
  QVERIFY(!before.empty());
}

void QtTextControlTest::clearIsOneUndoStep() {
  QPlainTextEdit editor;
  ormel::QtTextControl qt(editor);
  type(qt, "1+1\n");
  type(qt, " 2", kAnswer);
  qt.clear();
  QCOMPARE(qt.textLength(), 0);
  editor.undo();
  QCOMPARE(qt.line(1), std::string(" 2"));
  QCOMPARE(qt.styleAt(qt.lineStart(1) + 1), kAnswer);
}

namespace {

const std::string kColourTable = "{\\colortbl ;\\red255\\green255\\blue255;\\red255\\green255\\blue0;}";

std::string writeFile(const QTemporaryDir& folder, const std::string& bytes) {
  const QString path = folder.filePath("sheet.ocs");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return path.toStdString();
}

}  // namespace

void QtTextControlTest::openedSheetIsTheDocumentSetContentMakes_data() {
  QTest::addColumn<QByteArray>("bytes");
  const auto row = [](const char* name, const std::string& bytes) {
    QTest::newRow(name) << QByteArray::fromStdString(bytes);
  };
  row("answers in their colour",
      "{\\rtf1" + kColourTable + "\\cf1\\b 2+3\\par\\cf2  5\\par\\cf1 7*6\\par\\cf2  42\\par}");
  row("a last empty line in the answer colour", "{\\rtf1" + kColourTable + "\\cf1\\b 1+1\\par\\cf2  2\\par}");
  row("runs of several styles in one line",
      "{\\rtf1" + kColourTable + "\\cf2\\b  5\\cf1 +1\\b0 thin\\par\\par\\par x}");
  row("non-ASCII characters", "{\\rtf1\\ansi" + kColourTable + "\\cf1 \\u233?t\\'e9 \\u8364?\\par}");
  row("lines in one style after another, empty ones among them",
      "{\\rtf1" + kColourTable + "\\cf1\\b 1+1\\par 2+2\\par\\par\\cf2  4\\par  5\\par\\cf1\\b0 x\\par}");
  row("an empty document", "{\\rtf1}");
  row("plain text with every kind of break", "2+3\r\n 5\nx\ry\n");
  row("a cut document with no text is plain text", "{\\rtf1{\\fonttbl");
  row("an empty file", "");
}

void QtTextControlTest::openedSheetIsTheDocumentSetContentMakes() {
  QFETCH(QByteArray, bytes);
  QTemporaryDir folder;
  const std::string sheet = writeFile(folder, bytes.toStdString());
  QPlainTextEdit opened;
  ormel::QtTextControl control(opened);
  control.setDefaultTextColor(kPlain.color);
  type(control, "old text\n");
  control.loadContent(sheet);
  QPlainTextEdit filled;
  ormel::QtTextControl reference(filled);
  reference.setDefaultTextColor(kPlain.color);
  const ormel::StyledText lines = ormel::readContent(bytes.toStdString(), CharStyle{kPlain.color, true});
  reference.setContent(lines);
  QVERIFY(control.content() == lines);
  QVERIFY(reference.content() == lines);
  // The whole document as Qt sees it: every fragment's colour, weight and font.
  QCOMPARE(opened.document()->toHtml(), filled.document()->toHtml());
  QCOMPARE(opened.document()->defaultFont(), filled.document()->defaultFont());
  QCOMPARE(QString::fromStdString(snapshot(control)), QString::fromStdString(snapshot(reference)));
}

void QtTextControlTest::openedSheetKeepsNoUndoHistory() {
  QTemporaryDir folder;
  const std::string sheet = writeFile(folder, "{\\rtf1" + kColourTable + "\\cf1 2+3\\par\\cf2  5\\par}");
  QPlainTextEdit editor;
  ormel::QtTextControl control(editor);
  int changes = 0;
  control.setOnContentChange([&] { ++changes; });
  type(control, "typed before\n");
  changes = 0;
  control.loadContent(sheet);
  QVERIFY(!editor.document()->isUndoAvailable());
  QVERIFY(changes > 0);
  QCOMPARE(control.snapshot().size(), std::size_t{3});
  // The new document takes edits and their undo as the old one did.
  control.setSelStart(0);
  type(control, "1");
  QCOMPARE(control.line(0), std::string("12+3"));
  QCOMPARE(control.snapshot().begin()->text, std::u16string(u"12+3"));
  editor.undo();
  QCOMPARE(control.line(0), std::string("2+3"));
}

/// A sheet of twice lines lines, "2+3" and its answer, as the program writes it.
std::string longSheet(const QTemporaryDir& folder, int lines) {
  std::string text = "{\\rtf1" + kColourTable;
  for (int n = 0; n < lines; ++n)
    text += "\\cf1 " + std::to_string(n) + "+3\\par\\cf2  " + std::to_string(n + 3) + "\\par\n";
  return writeFile(folder, text + "}");
}

void QtTextControlTest::bigSheetIsLaidOutWhereItShows() {
  constexpr int kLines = 100000;
  QTemporaryDir folder;
  const std::string sheet = longSheet(folder, kLines);
  QPlainTextEdit editor;
  editor.setLineWrapMode(QPlainTextEdit::NoWrap);
  ormel::QtTextControl control(editor);
  int changes = 0;
  control.setOnContentChange([&] { ++changes; });
  editor.show();
  QVERIFY(QTest::qWaitForWindowExposed(&editor));
  control.loadContent(sheet);
  // The pad shows its first lines and takes keys while the rest goes in; the recovery copy and
  // the line count have the whole sheet from the start.
  const int total = 2 * kLines + 1;
  QVERIFY(control.writingSheet());
  QVERIFY(editor.document()->blockCount() < total);
  QCOMPARE(control.lineCount(), total);
  QCOMPARE(control.snapshot().size(), std::size_t(total));
  type(control, "1");
  QTRY_VERIFY_WITH_TIMEOUT(!control.writingSheet(), 60000);
  QCOMPARE(editor.document()->blockCount(), total);
  QCOMPARE(changes, 2);
  QCOMPARE(control.line(0), std::string("10+3"));
  QVERIFY(control.snapshot().lines() == control.content());
  // Only the lines that show are laid out: the rest of the sheet waits until the user goes there.
  const QTextBlock middle = editor.document()->findBlockByNumber(kLines);
  QCOMPARE(middle.layout()->lineCount(), 0);
  editor.setTextCursor(QTextCursor(middle));
  QTRY_VERIFY(middle.layout()->lineCount() > 0);
  // Undo was off while the sheet went in; what comes after is undone as ever.
  type(control, "7");
  QCOMPARE(control.line(kLines), "7" + std::to_string(kLines / 2) + "+3");
  editor.undo();
  QCOMPARE(control.line(kLines), std::to_string(kLines / 2) + "+3");
}

void QtTextControlTest::whatNeedsTheWholeSheetWaitsForIt_data() {
  QTest::addColumn<Script>("action");
  QTest::addColumn<int>("caretLineAfter");
  const int last = 2 * kSheetLines;
  auto row = [](const char* name, Script action, int caretLine) {
    QTest::newRow(name) << action << caretLine;
  };
  row(
      "the last line is read",
      [](TextControl& c) {
        QCOMPARE(c.line(2 * kSheetLines - 1), std::string(" " + std::to_string(kSheetLines + 2)));
      },
      0);
  row(
      "the content is read",
      [](TextControl& c) {
        QCOMPARE(dynamic_cast<ormel::QtTextControl&>(c).content().size(), std::size_t(2 * kSheetLines + 1));
      },
      0);
  row(
      "the caret is put at the end", [](TextControl& c) { c.setSelStart(-1); }, last);
  row(
      "Ctrl+End",
      [](TextControl&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier); },
      last);
  row(
      "Ctrl+A then typing",
      [](TextControl&) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_9);
      },
      0);
  row(
      "cleared and undone",
      [](TextControl& c) {
        c.clear();
        dynamic_cast<QPlainTextEdit*>(QApplication::focusWidget())->undo();
        QCOMPARE(c.lineCount(), 2 * kSheetLines + 1);
      },
      -1);
}

void QtTextControlTest::whatNeedsTheWholeSheetWaitsForIt() {
  QFETCH(Script, action);
  QFETCH(int, caretLineAfter);
  QTemporaryDir folder;
  const std::string sheet = longSheet(folder, kSheetLines);
  QPlainTextEdit editor;
  ormel::QtTextControl control(editor);
  editor.show();
  editor.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&editor));
  control.loadContent(sheet);
  QVERIFY(control.writingSheet());
  action(control);
  QVERIFY(!control.writingSheet());
  if (caretLineAfter >= 0) QCOMPARE(control.caretLine(), caretLineAfter);
  // What the document holds and what the recovery copy holds agree, line by line.
  QVERIFY(control.snapshot().lines() == control.content());
  const std::string saved = folder.filePath("saved.ocs").toStdString();
  control.saveContent(saved);
  QCOMPARE(ormel::loadContentFile(saved, kPlain).size(), control.content().size());
}

void QtTextControlTest::openingAnotherSheetStopsTheFirst() {
  QTemporaryDir folder;
  const std::string big = longSheet(folder, kSheetLines);
  QPlainTextEdit editor;
  ormel::QtTextControl control(editor);
  control.loadContent(big);
  QVERIFY(control.writingSheet());
  control.loadContent(writeFile(folder, "{\\rtf1 1+1\\par 2}"));
  QVERIFY(!control.writingSheet());
  QTest::qWait(50);
  QCOMPARE(editor.document()->blockCount(), 2);
  QCOMPARE(control.snapshot().size(), std::size_t{2});
}

void QtTextControlTest::sheetThatCannotBeReadLeavesThePad() {
  QTemporaryDir folder;
  QPlainTextEdit editor;
  ormel::QtTextControl control(editor);
  type(control, "2+3");
  QVERIFY_THROWS_EXCEPTION(ormel::EFOpenError, control.loadContent(folder.filePath("missing").toStdString()));
  QCOMPARE(control.line(0), std::string("2+3"));
  QCOMPARE(control.snapshot().begin()->text, std::u16string(u"2+3"));
}

QTEST_MAIN(QtTextControlTest)
#include "qt_text_control_test.moc"
