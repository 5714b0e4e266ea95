#include "app/ThreadTimer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "app/support/recording_window_thread.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using namespace std::chrono_literals;
using testing_support::RecordingWindowThread;

// Far longer than any tick here needs: only a broken timer runs into it.
constexpr auto kPatience = 10s;

class ThreadTimerTest : public testing::Test {
 protected:
  /// Runs the window thread until done() or kPatience has passed; false on the latter.
  template <typename Done>
  bool pumpUntil(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      m_window.processEvents(5ms);
    }
    return true;
  }
  /// Waits, without running the window thread, until n hand-offs have arrived.
  [[nodiscard]] bool waitForArrivals(int n) const {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (m_window.arrived() < n) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }
  void pumpFor(std::chrono::milliseconds span) {
    const auto until = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < until) m_window.processEvents(5ms);
  }
  /// Counts ticks and records the worker each came from.
  void countTicks(TThreadTimer& timer) {
    timer.SetOnTimer([this](TThreadTimer& sender) {
      EXPECT_EQ(&sender, m_timer.get());
      EXPECT_TRUE(m_window.isWindowThread());
      m_tickSenders.push_back(m_window.currentSender());
    });
  }
  [[nodiscard]] int ticks() const { return static_cast<int>(m_tickSenders.size()); }

  RecordingWindowThread m_window;
  std::unique_ptr<TThreadTimer> m_timer = std::make_unique<TThreadTimer>(m_window);
  std::vector<int> m_tickSenders;
};

TEST_F(ThreadTimerTest, CreatedStoppedAtNormalPriority) {
  EXPECT_FALSE(m_timer->Enabled());
  EXPECT_EQ(m_timer->Interval(), 0);
  EXPECT_EQ(m_timer->ThreadPriority(), TThreadPriority::tpNormal);
  pumpFor(50ms);
  EXPECT_EQ(m_window.arrived(), 0);
}

TEST_F(ThreadTimerTest, FirstTickAtOnceThenWaitsTheInterval) {
  countTicks(*m_timer);
  m_timer->SetInterval(25000);
  m_timer->SetEnabled(true);
  EXPECT_TRUE(m_timer->Enabled());
  ASSERT_TRUE(pumpUntil([&] { return ticks() == 1; }));
  pumpFor(300ms);
  EXPECT_EQ(ticks(), 1);
}

TEST_F(ThreadTimerTest, EnablingTwiceStartsOneWorker) {
  countTicks(*m_timer);
  m_timer->SetInterval(20);
  m_timer->SetEnabled(true);
  m_timer->SetEnabled(true);
  m_timer->Start();
  ASSERT_TRUE(pumpUntil([&] { return ticks() >= 5; }));
  EXPECT_EQ(m_window.senders().size(), 1u);
}

TEST_F(ThreadTimerTest, StopThenStartTicksFromTheNewWorkerOnly) {
  countTicks(*m_timer);
  m_timer->SetInterval(30);
  m_timer->Start();
  ASSERT_TRUE(pumpUntil([&] { return ticks() == 1; }));
  // The old worker waits with its next tick, which must not run.
  ASSERT_TRUE(waitForArrivals(2));
  m_timer->Stop();
  m_timer->Start();
  ASSERT_TRUE(pumpUntil([&] { return ticks() >= 6; }));
  const int first = m_tickSenders.front();
  for (std::size_t i = 1; i < m_tickSenders.size(); ++i) {
    EXPECT_NE(m_tickSenders[i], first) << "tick " << i << " came from the stopped worker";
    EXPECT_EQ(m_tickSenders[i], m_tickSenders[1]) << "tick " << i << " came from a third worker";
  }
}

TEST_F(ThreadTimerTest, NoTickOnceStopHasReturned) {
  countTicks(*m_timer);
  m_timer->Start();
  ASSERT_TRUE(pumpUntil([&] { return ticks() == 2; }));
  // Let the worker queue its next tick without running it, then stop.
  ASSERT_TRUE(waitForArrivals(3));
  m_timer->Stop();
  EXPECT_FALSE(m_timer->Enabled());
  pumpFor(100ms);
  EXPECT_EQ(ticks(), 2);
}

TEST_F(ThreadTimerTest, ZeroIntervalTicksEveryTenMilliseconds) {
  countTicks(*m_timer);
  m_timer->Start();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(pumpUntil([&] { return ticks() == 11; }));
  // Ten pauses of at least 10 ms each lie between the first and the eleventh tick.
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
}

struct IntervalChangeRow {
  std::string name;
  int before;
  int after;
  bool secondTickSoon;
};

class ThreadTimerIntervalChange : public ThreadTimerTest,
                                  public testing::WithParamInterface<IntervalChangeRow> {};

TEST_P(ThreadTimerIntervalChange, NextPauseUsesTheNewValue) {
  const IntervalChangeRow& row = GetParam();
  m_timer->SetInterval(row.before);
  m_timer->SetOnTimer([this, &row](TThreadTimer& sender) {
    m_tickSenders.push_back(0);
    sender.SetInterval(row.after);
  });
  m_timer->Start();
  ASSERT_TRUE(pumpUntil([&] { return ticks() == 1; }));
  if (row.secondTickSoon) {
    EXPECT_TRUE(pumpUntil([&] { return ticks() == 2; }));
  } else {
    pumpFor(300ms);
    EXPECT_EQ(ticks(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ThreadTimerIntervalChange,
                         testing::Values(IntervalChangeRow{"LongToShort", 25000, 20, true},
                                         IntervalChangeRow{"ShortToLong", 20, 25000, false},
                                         IntervalChangeRow{"ShortToNegative", 25000, -5, true}),
                         testing_support::RowName{});

TEST_F(ThreadTimerTest, RaisingHandlerEndsTicksUntilRestarted) {
  bool raise = true;
  m_timer->SetOnTimer([&](TThreadTimer&) {
    m_tickSenders.push_back(0);
    if (raise) throw std::runtime_error("tick failed");
  });
  m_timer->Start();
  ASSERT_TRUE(pumpUntil([&] { return ticks() == 1; }));
  pumpFor(100ms);
  EXPECT_EQ(ticks(), 1);
  EXPECT_TRUE(m_timer->Enabled());
  raise = false;
  m_timer->Stop();
  m_timer->Start();
  EXPECT_TRUE(pumpUntil([&] { return ticks() >= 3; }));
}

TEST_F(ThreadTimerTest, DestroyedWhileItsWorkerWaitsForTheWindowThread) {
  countTicks(*m_timer);
  m_timer->Start();
  // The worker has queued its first tick; nobody runs it until the destructor does.
  ASSERT_TRUE(waitForArrivals(1));
  m_timer.reset();
  pumpFor(50ms);
  EXPECT_EQ(ticks(), 0);
  EXPECT_EQ(m_window.arrived(), 1);
}

enum class InHandler { kStop, kDisable, kDestroy };

struct InHandlerRow {
  std::string name;
  InHandler action;
};

class ThreadTimerInHandler : public ThreadTimerTest, public testing::WithParamInterface<InHandlerRow> {};

TEST_P(ThreadTimerInHandler, NoFurtherTick) {
  m_timer->SetOnTimer([this](TThreadTimer& sender) {
    m_tickSenders.push_back(0);
    switch (GetParam().action) {
      case InHandler::kStop:
        sender.Stop();
        break;
      case InHandler::kDisable:
        sender.SetEnabled(false);
        break;
      case InHandler::kDestroy:
        m_timer.reset();
        break;
    }
  });
  m_timer->Start();
  ASSERT_TRUE(pumpUntil([&] { return ticks() == 1; }));
  pumpFor(100ms);
  EXPECT_EQ(ticks(), 1);
  EXPECT_EQ(m_window.arrived(), 1);
  if (m_timer) {
    EXPECT_FALSE(m_timer->Enabled());
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ThreadTimerInHandler,
                         testing::Values(InHandlerRow{"Stop", InHandler::kStop},
                                         InHandlerRow{"Disable", InHandler::kDisable},
                                         InHandlerRow{"DestroyTheTimer", InHandler::kDestroy}),
                         testing_support::RowName{});

TEST_F(ThreadTimerTest, WorkerRunsAtTheChosenPriority) {
  int workerNice = 100;
  int baseNice = ::getpriority(PRIO_PROCESS, 0);
  m_timer->SetThreadPriority(TThreadPriority::tpLower);
  m_timer->SetOnTimer([&](TThreadTimer& sender) {
    workerNice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(m_window.currentSender()));
    sender.Stop();
  });
  m_timer->Start();
  ASSERT_TRUE(pumpUntil([&] { return workerNice != 100; }));
  EXPECT_EQ(workerNice, std::min(baseNice + 5, 19));
}

}  // namespace
}  // namespace ormel
