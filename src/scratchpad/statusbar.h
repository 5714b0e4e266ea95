#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "base/timer_port.h"
#include "scratchpad/widget_port.h"

namespace ormel {

/// Text colour of normal messages and of "Ready" after a message.
inline constexpr Color kStatusMessageColor = 0x008800;
/// Text colour of error messages.
inline constexpr Color kStatusErrorColor = 255;
/// How long a message shows before "Ready" returns.
inline constexpr int kStatusClearInterval = 2500;
/// How many expired messages the status label's hint keeps, newest first.
inline constexpr std::size_t kStatusHintHistory = 50;

/// The status line: one message at a time, green or red, back to "Ready" 2.5 seconds after the
/// last one; expired messages collect in the label's hint, newest first.
class TStatusInfo {
 public:
  /// Binds slot 0 to statusText; takes the timer, sets it to 2500 ms and off. The hint history
  /// starts with the label's current hint.
  TStatusInfo(Label& statusText, std::unique_ptr<Timer> timer);

  /// Shows a normal (green) message in slot index; an index above 2 or an empty slot does nothing.
  void StatusText(int index, const std::string& text);
  /// Shows an error (red) message, as StatusText does otherwise.
  void StatusErrorText(int index, const std::string& text);
  /// The timer's tick: back to "Ready", the message that showed added to the hint.
  void ClearInfoTimerTimer();
  /// Puts a message into the hint's history, newest first, without showing it.
  void addToHistory(const std::string& text);
  /// How many error messages have been shown, and the last of them.
  [[nodiscard]] std::size_t errorCount() const { return m_errorCount; }
  [[nodiscard]] const std::string& lastError() const { return m_lastError; }

  /// Called with each message shown (text, true for an error), after the label shows it.
  void setOnMessage(std::function<void(const std::string&, bool)> listener) {
    m_onMessage = std::move(listener);
  }

 private:
  void show(int index, const std::string& text, Color color, bool error);

  std::array<Label*, 3> m_items{};
  std::unique_ptr<Timer> m_timer;
  std::deque<std::string> m_history;
  std::function<void(const std::string&, bool)> m_onMessage;
  std::size_t m_errorCount = 0;
  std::string m_lastError;
};

}  // namespace ormel
