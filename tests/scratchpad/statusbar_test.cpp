#include "scratchpad/statusbar.h"

#include <gtest/gtest.h>

#include "base/manual_timer.h"
#include "scratchpad/memory_widgets.h"

namespace ormel {
namespace {

class StatusInfoTest : public testing::Test {
 protected:
  StatusInfoTest() : m_label("Ready", "Ready", 0x008000) {
    auto timer = std::make_unique<ManualTimer>();
    m_timer = timer.get();
    m_status = std::make_unique<TStatusInfo>(m_label, std::move(timer));
  }
  MemoryLabel m_label;
  ManualTimer* m_timer = nullptr;
  std::unique_ptr<TStatusInfo> m_status;
};

TEST_F(StatusInfoTest, AnErrorShowsInRedThenReadyReturnsInGreen) {
  m_status->StatusErrorText(0, "Parsing error");
  EXPECT_EQ(m_label.caption(), "Parsing error");
  EXPECT_EQ(m_label.textColor(), 255);
  m_timer->advance(2499);
  EXPECT_EQ(m_label.caption(), "Parsing error");
  m_timer->advance(1);
  EXPECT_EQ(m_label.caption(), "Ready");
  EXPECT_EQ(m_label.textColor(), 0x008800);
  EXPECT_EQ(m_label.hint(), "Parsing error\r\nReady");
  EXPECT_FALSE(m_timer->enabled());
}

TEST_F(StatusInfoTest, ANewMessageRestartsThePeriodAndReplacesTheOldOne) {
  m_status->StatusText(0, "first");
  m_timer->advance(1000);
  m_status->StatusText(0, "second");
  EXPECT_EQ(m_label.textColor(), 0x008800);
  m_timer->advance(2499);  // 3.5 s after the first
  EXPECT_EQ(m_label.caption(), "second");
  m_timer->advance(1);
  EXPECT_EQ(m_label.hint(), "second\r\nReady");
}

TEST_F(StatusInfoTest, TheHintListsExpiredMessagesNewestFirstAndKeepsFifty) {
  for (int i = 1; i <= 3; ++i) {
    m_status->StatusText(0, "m" + std::to_string(i));
    m_timer->advance(2500);
  }
  EXPECT_EQ(m_label.hint(), "m3\r\nm2\r\nm1\r\nReady");
  for (int i = 4; i <= 60; ++i) {
    m_status->StatusText(0, "m" + std::to_string(i));
    m_timer->advance(2500);
  }
  const std::string hint = m_label.hint();
  EXPECT_EQ(hint.substr(0, 9), "m60\r\nm59\r");
  EXPECT_EQ(hint.substr(hint.size() - 3), "m11");
  EXPECT_EQ(std::count(hint.begin(), hint.end(), '\n'), 49);
}

TEST_F(StatusInfoTest, OtherSlotsAreEmptyAndChangeNothing) {
  std::vector<std::string> heard;
  m_status->setOnMessage(
      [&](const std::string& text, bool error) { heard.push_back((error ? "E:" : "S:") + text); });
  for (const int index : {-1, 1, 2, 3}) m_status->StatusErrorText(index, "x");
  EXPECT_EQ(m_label.caption(), "Ready");
  EXPECT_FALSE(m_timer->enabled());
  m_status->StatusText(0, "ok");
  m_status->StatusErrorText(0, "bad");
  EXPECT_EQ(heard, (std::vector<std::string>{"S:ok", "E:bad"}));
}

TEST_F(StatusInfoTest, ExpiryTurnsTheCaptionGlowOff) {
  m_label.setCaptionGlow(true);
  m_status->StatusText(0, "x");
  m_timer->advance(2500);
  EXPECT_FALSE(m_label.captionGlow());
}

}  // namespace
}  // namespace ormel
