// The window's own figures, on the real widgets (offscreen): Enter to answer on a typical line
// and at the end of a 10,000-line pad, opening a 10,000-line sheet, and what the recovery copy
// costs the window thread in a 100,000-line pad.
#include <QElapsedTimer>
#include <QTextBlock>
#include <algorithm>
#include <vector>

#include "app/recovery_copy.h"
#include "scratchpad/content_file.h"
#include "ui/ui_test_support.h"

using ormel::testing_support::Desk;

namespace {

constexpr ormel::CharStyle kExpression{0xFFFFFF, true};
constexpr ormel::CharStyle kAnswer{0x00FFFF, true};

ormel::StyledLine styledLine(const std::u16string& text, ormel::CharStyle style) {
  return ormel::StyledLine{text, std::vector<ormel::CharStyle>(text.size(), style), style};
}

/// The median and the largest of the samples (nanoseconds), in milliseconds.
std::pair<double, double> medianAndMaxMs(std::vector<qint64> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2] / 1e6, samples.back() / 1e6};
}

/// lines lines: expressions, each followed by its answer.
ormel::StyledText sheetOf(int lines) {
  ormel::StyledText sheet;
  for (int n = 0; n < lines / 2; ++n) {
    sheet.push_back(
        styledLine(u"12.5*" + std::u16string(1, char16_t(u'0' + n % 10)) + u"+SIN(0.5)", kExpression));
    sheet.push_back(styledLine(u" 63.479425538604203", kAnswer));
  }
  return sheet;
}

}  // namespace

class UiBench : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void enterToAnswer_data();
  void enterToAnswer();
  void openSheet();
  void recoveryInALongPad();
};

void UiBench::enterToAnswer_data() {
  QTest::addColumn<int>("padLines");
  QTest::newRow("typical line") << 0;
  QTest::newRow("at the end of a 10,000-line pad") << 10000;
}

void UiBench::enterToAnswer() {
  QFETCH(int, padLines);
  Desk desk;
  QVERIFY(desk.start());
  desk.form->textControl().setContent(sheetOf(padLines));
  ormel::ScratchPadEdit& pad = desk.pad();
  std::vector<qint64> samples;
  for (int i = 0; i < 300; ++i) {
    QTextCursor end = pad.textCursor();
    end.movePosition(QTextCursor::End);
    if (end.positionInBlock() > 0) end.insertBlock();
    end.insertText(QStringLiteral("(2+3)*4/7"));
    pad.setTextCursor(end);
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(&pad, Qt::Key_Return);
    samples.push_back(clock.nsecsElapsed());
  }
  QCOMPARE(pad.document()->lastBlock().text(), QString(" 2.857"));
  std::sort(samples.begin(), samples.end());
  const double medianMs = samples[samples.size() / 2] / 1e6;
  qInfo("Enter to answer, %s: median %.3f ms, 90th percentile %.3f ms", QTest::currentDataTag(), medianMs,
        samples[samples.size() * 9 / 10] / 1e6);
  QTest::setBenchmarkResult(medianMs, QTest::WalltimeMilliseconds);
}

void UiBench::openSheet() {
  QTemporaryDir folder;
  const std::string sheet = folder.filePath("big.ocs").toStdString();
  ormel::saveContentFile(sheet, sheetOf(10000));
  Desk desk;
  QVERIFY(desk.start());
  std::vector<qint64> samples;
  for (int i = 0; i < 10; ++i) {
    QElapsedTimer clock;
    clock.start();
    desk.form->textControl().loadContent(sheet);
    QCoreApplication::processEvents();
    samples.push_back(clock.nsecsElapsed());
  }
  QCOMPARE(desk.pad().document()->blockCount(), 10000);
  QElapsedTimer reading;
  reading.start();
  const ormel::StyledText content = ormel::loadContentFile(sheet, kExpression);
  const double readMs = reading.nsecsElapsed() / 1e6;
  QElapsedTimer filling;
  filling.start();
  desk.form->textControl().setContent(content);
  const double fillMs = filling.nsecsElapsed() / 1e6;
  std::sort(samples.begin(), samples.end());
  const double medianMs = samples[samples.size() / 2] / 1e6;
  qInfo("Opening a 10,000-line sheet: median %.1f ms (reading the file %.1f ms, filling the pad %.1f ms)",
        medianMs, readMs, fillMs);
  QTest::setBenchmarkResult(medianMs, QTest::WalltimeMilliseconds);
}

void UiBench::recoveryInALongPad() {
  Desk desk;
  QVERIFY(desk.start());
  desk.form->textControl().setContent(sheetOf(100000));
  ormel::ScratchPadEdit& pad = desk.pad();
  ormel::RecoveryCopy& copy = *desk.form->recoveryCopy();
  copy.waitUntilWritten();
  // Keys in the middle of the pad: each changes the snapshot's line (Enter adds one).
  const auto keyTimes = [&](Qt::Key key) {
    std::vector<qint64> samples;
    for (int i = 0; i < 30; ++i) {
      QTextCursor middle(pad.document()->findBlockByNumber(50000 + i * 3));
      middle.movePosition(QTextCursor::EndOfBlock);
      pad.setTextCursor(middle);
      QElapsedTimer clock;
      clock.start();
      QTest::keyClick(&pad, key);
      samples.push_back(clock.nsecsElapsed());
    }
    return medianAndMaxMs(samples);
  };
  const auto [digitMs, digitMaxMs] = keyTimes(Qt::Key_5);
  const auto [enterMs, enterMaxMs] = keyTimes(Qt::Key_Return);
  // The window thread's share of a recovery write: the snapshot and the hand-off to the worker.
  std::vector<qint64> takes;
  std::vector<qint64> writes;
  for (int i = 0; i < 10; ++i) {
    QElapsedTimer clock;
    clock.start();
    copy.writeNow();
    takes.push_back(clock.nsecsElapsed());
    copy.waitUntilWritten();
    writes.push_back(clock.nsecsElapsed());
  }
  QVERIFY(pad.document()->blockCount() >= 100030);
  const auto [takeMs, takeMaxMs] = medianAndMaxMs(takes);
  const auto [writeMs, writeMaxMs] = medianAndMaxMs(writes);
  qInfo(
      "100,000-line pad with the recovery copy: a digit typed median %.3f ms (max %.3f), Enter median %.3f "
      "ms "
      "(max %.3f); snapshot on the window thread median %.3f ms (max %.3f); the worker's RTF and atomic "
      "write "
      "of both files median %.1f ms (max %.1f)",
      digitMs, digitMaxMs, enterMs, enterMaxMs, takeMs, takeMaxMs, writeMs, writeMaxMs);
  QTest::setBenchmarkResult(takeMs, QTest::WalltimeMilliseconds);
}

QTEST_MAIN(UiBench)
#include "ui_bench.moc"
