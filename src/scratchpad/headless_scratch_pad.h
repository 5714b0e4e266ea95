#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/manual_timer.h"
#include "base/message_box_port.h"
#include "config/headless_window.h"
#include "config/prefs.h"
#include "engine/parser.h"
#include "scratchpad/main_window_logic.h"
#include "scratchpad/memory_text_control.h"
#include "scratchpad/memory_widgets.h"
#include "scratchpad/savevars.h"
#include "scratchpad/statusbar.h"

namespace ormel {

/// The main window's logic wired to in-memory widgets, with the built-in preferences: the
/// terminal companion runs on it, and so do the tests and benchmarks of the line evaluation.
class HeadlessScratchPad {
 public:
  HeadlessScratchPad();
  HeadlessScratchPad(const HeadlessScratchPad&) = delete;
  HeadlessScratchPad& operator=(const HeadlessScratchPad&) = delete;

  /// Receives what the window would show in a message box: errors that nothing caught in a
  /// handler, and the stores' messages.
  void setOnAlert(std::function<void(const std::string&)> onAlert) { m_onAlert = std::move(onAlert); }

  /// Pushes the preferences onto the pad: plain text and an empty pad take the expression colour.
  void applyPrefs();
  /// Types text key by key (UTF-8; CR and LF press Enter, invalid bytes type U+FFFD).
  void type(std::string_view text);
  /// Enters one line at the end of the pad: the caret goes to the end of the text, a line break
  /// opens a fresh line unless the last line is empty, the characters are typed, then Enter.
  void enterLine(std::string_view text);

  [[nodiscard]] Color answerColor() const;
  [[nodiscard]] Color regExpColor() const;

 private:
  /// Forwards message boxes to the alert listener.
  class AlertBox final : public MessageBox {
   public:
    explicit AlertBox(HeadlessScratchPad& owner) : m_owner(owner) {}
    void showMessage(const std::string& text) override { m_owner.alert(text); }
    bool askYesNo(const std::string& text) override {
      m_owner.alert(text);
      return false;
    }
    void showError(const std::string& text) override { m_owner.alert(text); }

   private:
    HeadlessScratchPad& m_owner;
  };

  void alert(const std::string& text) {
    if (m_onAlert) m_onAlert(text);
  }

  std::function<void(const std::string&)> m_onAlert;
  AlertBox m_messages{*this};

 public:
  HeadlessWindow window;
  TOrmelPrefs prefs{window, m_messages};
  TParser parser;
  MemoryLabel statusLabel{"Ready", "Ready", 0x008000};
  /// The status line's timer, owned by status; never advanced unless a test does.
  ManualTimer* statusTimer = nullptr;
  std::unique_ptr<TStatusInfo> status;
  MemoryComboBox varsDropDown;
  MemoryLabel varsTextLabel;
  MemoryLabel varsLabelItem;
  std::unique_ptr<TSavedVariables> variables;
  MemoryTextControl pad;
  std::unique_ptr<MainWindowLogic> logic;
};

}  // namespace ormel
