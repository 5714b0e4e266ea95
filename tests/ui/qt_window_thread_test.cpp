// The thread timer and the worker hand-off on Qt's event loop, as the window uses them.
#include "ui/qt_window_thread.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "app/ThreadTimer.h"

class QtWindowThreadTest : public QObject {
  Q_OBJECT

 private slots:
  void handOffRunsOnTheWindowThreadAndRethrows();
  void processEventsWaitsAtMostMaxWait();
  void timerTicksAtOnceThenEveryInterval();
  void stopInsideTheHandlerEndsTheTicks();
  void destroyingARunningTimerReturns();
};

void QtWindowThreadTest::handOffRunsOnTheWindowThreadAndRethrows() {
  ormel::QtWindowThread window;
  QThread* ranOn = nullptr;
  std::atomic<bool> caught{false};
  std::atomic<bool> done{false};
  std::thread worker([&] {
    window.synchronize([&] { ranOn = QThread::currentThread(); });
    try {
      window.synchronize([] { throw std::runtime_error("tick failed"); });
    } catch (const std::runtime_error& error) {
      caught = std::string(error.what()) == "tick failed";
    }
    done = true;
  });
  QTRY_VERIFY(done);
  worker.join();
  QCOMPARE(ranOn, QThread::currentThread());
  QVERIFY(caught);
  QVERIFY(window.isWindowThread());
}

void QtWindowThreadTest::processEventsWaitsAtMostMaxWait() {
  ormel::QtWindowThread window;
  QElapsedTimer clock;
  clock.start();
  window.processEvents(std::chrono::milliseconds(50));
  QVERIFY(clock.elapsed() < 2000);
}

void QtWindowThreadTest::timerTicksAtOnceThenEveryInterval() {
  ormel::QtWindowThread window;
  ormel::TThreadTimer timer(window);
  int ticks = 0;
  bool onWindowThread = true;
  timer.SetInterval(1500);
  timer.SetOnTimer([&](ormel::TThreadTimer&) {
    ++ticks;
    onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
  });
  timer.SetEnabled(true);
  timer.SetEnabled(true);
  // The first tick does not wait for the interval; starting twice makes no second worker.
  QElapsedTimer clock;
  clock.start();
  QTRY_COMPARE_WITH_TIMEOUT(ticks, 1, 10000);
  QTest::qWait(200);
  QCOMPARE(ticks, 1);
  QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2, 20000);
  QVERIFY(clock.elapsed() >= 1400);
  QVERIFY(onWindowThread);
}

void QtWindowThreadTest::stopInsideTheHandlerEndsTheTicks() {
  ormel::QtWindowThread window;
  ormel::TThreadTimer timer(window);
  int ticks = 0;
  timer.SetInterval(0);
  timer.SetOnTimer([&](ormel::TThreadTimer& sender) {
    ++ticks;
    sender.Stop();
  });
  timer.Start();
  QTRY_COMPARE(ticks, 1);
  QTest::qWait(100);
  QCOMPARE(ticks, 1);
  QVERIFY(!timer.Enabled());
}

void QtWindowThreadTest::destroyingARunningTimerReturns() {
  ormel::QtWindowThread window;
  int ticks = 0;
  {
    ormel::TThreadTimer timer(window);
    timer.SetInterval(0);
    timer.SetOnTimer([&](ormel::TThreadTimer&) { ++ticks; });
    timer.Start();
    QTRY_VERIFY(ticks > 2);
  }
  const int atDestruction = ticks;
  QTest::qWait(50);
  QCOMPARE(ticks, atDestruction);
}

QTEST_MAIN(QtWindowThreadTest)
#include "qt_window_thread_test.moc"
