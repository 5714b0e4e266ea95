// The window's own figures, on the real widgets (offscreen): Enter to answer on a typical line
// and at the end of a 10,000-line pad, opening a 10,000-line sheet, Recalculate on one, the
// completion list appearing after the key that makes two letters of a name, and what the
// recovery copy costs the window thread in a 100,000-line pad.
#include <malloc.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/recovery_copy.h"
#include "scratchpad/content_file.h"
#include "ui/command_keys.h"
#include "ui/completion_popup.h"
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

qint64 threadCpuNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

/// The longest the event loop went without coming back to a 1 ms heartbeat, apart for the
/// stalls in which a key was handled and those without one (timers, such as the recovery copy's).
class LoopWatch : public QObject {
 public:
  explicit LoopWatch(QWidget& keyTarget) {
    keyTarget.installEventFilter(this);
    m_heartbeat.setTimerType(Qt::PreciseTimer);
    m_heartbeat.setInterval(1);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] {
      qint64& longest = m_sawKey ? longestWithKey : longestWithoutKey;
      longest = std::max(longest, m_clock.restart() * 1000000 - 1000000);
      m_sawKey = false;
    });
    m_clock.start();
    m_heartbeat.start();
  }
  qint64 longestWithKey = 0;
  qint64 longestWithoutKey = 0;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) m_sawKey = true;
    return false;
  }

 private:
  QTimer m_heartbeat;
  QElapsedTimer m_clock;
  bool m_sawKey = false;
};

/// Runs the event loop as the program does, waiting for events between them.
void runEventLoopFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
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

/// Starts the window with a 100,000-line pad, once its recovery copy has been written.
bool startWithALongPad(Desk& desk) {
  if (!desk.start()) return false;
  desk.form->textControl().setContent(sheetOf(100000));
  desk.form->recoveryCopy()->waitUntilWritten();
  return true;
}

}  // namespace

class UiBench : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ormel::testing_support::isolateRuntimeFolder(); }
  void enterToAnswer_data();
  void enterToAnswer();
  void openSheet();
  void openBigSheetBesideTheFloor_data();
  void openBigSheetBesideTheFloor();
  void recalculate_data();
  void recalculate();
  void completionListAfterKey_data();
  void completionListAfterKey();
  void recoveryInALongPad();
  void eventLoopWhileTypingIntoALongPad();
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

namespace {

long residentKb() {
  long kb = 0;
  if (FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
      if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) break;
    }
    std::fclose(status);
  }
  return kb;
}

}  // namespace

void UiBench::openBigSheetBesideTheFloor_data() {
  QTest::addColumn<bool>("floor");
  QTest::newRow("setPlainText of the same text (the floor)") << true;
  QTest::newRow("opening the sheet") << false;
}

void UiBench::openBigSheetBesideTheFloor() {
  QFETCH(bool, floor);
  // ORMEL_SHEET_LINES=1000000 measures a million-line sheet the same way.
  const int kLines = qEnvironmentVariableIntValue("ORMEL_SHEET_LINES") > 0
                         ? qEnvironmentVariableIntValue("ORMEL_SHEET_LINES")
                         : 100000;
  QTemporaryDir folder;
  const std::string sheet = folder.filePath("big.ocs").toStdString();
  const ormel::StyledText content = sheetOf(kLines);
  ormel::saveContentFile(sheet, content);
  QString text;
  for (const ormel::StyledLine& line : content) {
    if (!text.isEmpty()) text += QChar('\n');
    text += QString::fromStdU16String(line.text);
  }
  Desk desk;
  QVERIFY(desk.start());
  QPlainTextEdit& pad = desk.pad();
  QCoreApplication::processEvents();
  malloc_trim(0);
  const long before = residentKb();
  QElapsedTimer clock;
  clock.start();
  if (floor) {
    pad.setPlainText(text);
  } else {
    desk.form->textControl().loadContent(sheet);
  }
  QCoreApplication::processEvents();
  const double shownMs = clock.nsecsElapsed() / 1e6;
  // A key right away, while the rest may still be going in.
  QElapsedTimer keyClock;
  keyClock.start();
  QTest::keyClick(&pad, Qt::Key_Right);
  const double keyMs = keyClock.nsecsElapsed() / 1e6;
  // The longest the window thread was away from its event loop until every line was in and
  // the layout was done.
  QElapsedTimer gap;
  gap.start();
  qint64 longestGap = 0;
  while (pad.document()->blockCount() < kLines || pad.document()->lastBlock().layout()->lineCount() == 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    longestGap = std::max(longestGap, gap.nsecsElapsed());
    gap.restart();
  }
  const double wholeMs = clock.nsecsElapsed() / 1e6;
  QCOMPARE(pad.document()->blockCount(), kLines);
  malloc_trim(0);
  const double memoryMb = (residentKb() - before) / 1024.0;
  qInfo(
      "%s, %d lines: shown %.0f ms, a key %.1f ms, every line in and laid out %.0f ms, longest block "
      "%.0f ms, memory once idle +%.1f MB",
      QTest::currentDataTag(), kLines, shownMs, keyMs, wholeMs, longestGap / 1e6, memoryMb);
  QTest::setBenchmarkResult(shownMs, QTest::WalltimeMilliseconds);
}

void UiBench::recalculate_data() {
  QTest::addColumn<bool>("answersChange");
  QTest::newRow("10,000 lines, no answer changes") << false;
  QTest::newRow("10,000 lines, every answer changes") << true;
}

void UiBench::recalculate() {
  QFETCH(bool, answersChange);
  // An assignment on top that every other line uses, so that changing it changes every answer.
  ormel::StyledText sheet = sheetOf(10000 - 2);
  for (std::size_t n = 0; n < sheet.size(); n += 2) sheet[n] = styledLine(u"12.5*K+SIN(0.5)", kExpression);
  sheet.insert(sheet.begin(), styledLine(u"k = 5", kExpression));
  sheet.push_back(styledLine(u"", kExpression));
  Desk desk;
  QVERIFY(desk.start());
  desk.form->textControl().setContent(sheet);
  ormel::Command* command = desk.form->command("Recalculate");
  command->trigger();
  QCoreApplication::processEvents();
  QCOMPARE(desk.pad().document()->blockCount(), 10000);
  std::vector<qint64> samples;
  std::vector<qint64> cpuSamples;
  for (int i = 0; i < 10; ++i) {
    if (answersChange) {
      QTextCursor top(desk.pad().document());
      top.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      top.insertText(i % 2 == 0 ? QStringLiteral("k = 6") : QStringLiteral("k = 5"));
    }
    QElapsedTimer clock;
    const qint64 cpuStart = threadCpuNanoseconds();
    clock.start();
    command->trigger();
    // The pad lays out and paints what changed before the user sees it.
    QCoreApplication::processEvents();
    samples.push_back(clock.nsecsElapsed());
    cpuSamples.push_back(threadCpuNanoseconds() - cpuStart);
  }
  QCOMPARE(desk.pad().document()->blockCount(), 10000);
  QCOMPARE(desk.form->statusTextLabel()->text(),
           answersChange ? QString("Recalculated 5000 lines, 4999 answers changed.")
                         : QString("Recalculated 5000 lines, 0 answers changed."));
  std::sort(samples.begin(), samples.end());
  std::sort(cpuSamples.begin(), cpuSamples.end());
  const double medianMs = samples[samples.size() / 2] / 1e6;
  // On a shared machine the wall time includes waiting for a core; the CPU time does not.
  qInfo("Recalculate, %s: median %.1f ms wall, %.1f ms CPU; slowest %.1f ms wall", QTest::currentDataTag(),
        medianMs, cpuSamples[cpuSamples.size() / 2] / 1e6, samples.back() / 1e6);
  QTest::setBenchmarkResult(medianMs, QTest::WalltimeMilliseconds);
}

void UiBench::completionListAfterKey_data() {
  QTest::addColumn<QString>("before");
  QTest::addColumn<int>("key");
  QTest::addColumn<bool>("opens");
  QTest::newRow("the list opens") << "2*s" << int(Qt::Key_Q) << true;
  QTest::newRow("a key that opens none (the floor)") << "2*1" << int(Qt::Key_2) << false;
}

void UiBench::completionListAfterKey() {
  QFETCH(QString, before);
  QFETCH(int, key);
  QFETCH(bool, opens);
  Desk desk;
  QVERIFY(desk.start());
  QWidget* pad = QApplication::focusWidget();
  const ormel::CompletionPopup& popup = *desk.form->completionPopup();
  std::vector<qint64> samples;
  qint64 first = 0;
  for (int i = 0; i < 300; ++i) {
    QTest::keyClicks(pad, before);
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(pad, Qt::Key(key));
    // Until the list is painted.
    QCoreApplication::processEvents();
    const qint64 elapsed = clock.nsecsElapsed();
    QCOMPARE(popup.isShown(), opens);
    if (i == 0) {
      first = elapsed;
    } else {
      samples.push_back(elapsed);
    }
    QTest::keyClick(pad, Qt::Key_Escape);
    QTest::keyClick(pad, Qt::Key_Escape);
    QCoreApplication::processEvents();
  }
  std::sort(samples.begin(), samples.end());
  const double medianMs = samples[samples.size() / 2] / 1e6;
  qInfo("Key to painted pad, %s: first %.3f ms, then median %.3f ms, 90th percentile %.3f ms",
        QTest::currentDataTag(), first / 1e6, medianMs, samples[samples.size() * 9 / 10] / 1e6);
  QTest::setBenchmarkResult(medianMs, QTest::WalltimeMilliseconds);
}

void UiBench::recoveryInALongPad() {
  Desk desk;
  QVERIFY(startWithALongPad(desk));
  ormel::ScratchPadEdit& pad = desk.pad();
  ormel::RecoveryCopy& copy = *desk.form->recoveryCopy();
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
  std::vector<qint64> takesCpu;
  std::vector<qint64> writes;
  for (int i = 0; i < 10; ++i) {
    QElapsedTimer clock;
    clock.start();
    const qint64 cpuBefore = threadCpuNanoseconds();
    copy.writeNow();
    takesCpu.push_back(threadCpuNanoseconds() - cpuBefore);
    takes.push_back(clock.nsecsElapsed());
    copy.waitUntilWritten();
    writes.push_back(clock.nsecsElapsed());
  }
  QVERIFY(pad.document()->blockCount() >= 100030);
  const auto [takeMs, takeMaxMs] = medianAndMaxMs(takes);
  const auto [takeCpuMs, takeCpuMaxMs] = medianAndMaxMs(takesCpu);
  const auto [writeMs, writeMaxMs] = medianAndMaxMs(writes);
  qInfo(
      "100,000-line pad with the recovery copy: a digit typed median %.3f ms (max %.3f), Enter median %.3f "
      "ms (max %.3f); snapshot on the window thread median %.3f ms (max %.3f), CPU time median %.3f ms "
      "(max %.3f); the worker's RTF and atomic write of both files median %.1f ms (max %.1f)",
      digitMs, digitMaxMs, enterMs, enterMaxMs, takeMs, takeMaxMs, takeCpuMs, takeCpuMaxMs, writeMs,
      writeMaxMs);
  QTest::setBenchmarkResult(takeMs, QTest::WalltimeMilliseconds);
}

void UiBench::eventLoopWhileTypingIntoALongPad() {
  Desk desk;
  QVERIFY(startWithALongPad(desk));
  ormel::ScratchPadEdit& pad = desk.pad();
  ormel::RecoveryCopy& copy = *desk.form->recoveryCopy();
  const QString padCopy = QString::fromStdString(copy.files().pad);
  QTextCursor middle(pad.document()->findBlockByNumber(50000));
  middle.movePosition(QTextCursor::EndOfBlock);
  pad.setTextCursor(middle);
  QCoreApplication::processEvents();
  // Bursts of keys through the event loop with the window's own timers, each followed by a
  // pause long enough for the recovery copy to take its snapshot; the pad's copy counts the
  // writes.
  const auto typeInBursts = [&](int& writes) {
    LoopWatch watch(pad);
    for (int burst = 0; burst < 3; ++burst) {
      const QDateTime before = QFileInfo(padCopy).lastModified();
      QTimer typist;
      int keys = 0;
      connect(&typist, &QTimer::timeout, &pad, [&] {
        QTest::keyClick(&pad, keys % 8 == 7 ? Qt::Key_Return : Qt::Key_5);
        ++keys;
      });
      typist.start(50);
      runEventLoopFor(1000);
      typist.stop();
      runEventLoopFor(ormel::RecoveryCopy::kQuietMs + 500);
      copy.waitUntilWritten();
      if (QFileInfo(padCopy).lastModified() != before) ++writes;
    }
    return std::pair{watch.longestWithKey / 1e6, watch.longestWithoutKey / 1e6};
  };
  int writes = 0;
  const auto [keyOn, quietOn] = typeInBursts(writes);
  QCOMPARE(writes, 3);
  // The same without the recovery copy, for comparison.
  copy.finish(true);
  int writesOff = 0;
  const auto [keyOff, quietOff] = typeInBursts(writesOff);
  QCOMPARE(writesOff, 0);
  qInfo(
      "Event loop while typing into a 100,000-line pad, longest stall: with the recovery copy (three "
      "writes) %.0f ms with a key, %.0f ms without (timers, the snapshot among them); without the copy "
      "%.0f ms with a key, %.0f ms without",
      keyOn, quietOn, keyOff, quietOff);
  QTest::setBenchmarkResult(quietOn, QTest::WalltimeMilliseconds);
}

QTEST_MAIN(UiBench)
#include "ui_bench.moc"
