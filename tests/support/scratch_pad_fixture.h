#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/message_box.h"
#include "config/headless_window.h"
#include "config/prefs.h"
#include "engine/parser.h"
#include "scratchpad/memory_text_control.h"
#include "scratchpad/ormelCalcMain.h"
#include "scratchpad/savevars.h"
#include "scratchpad/statusbar.h"

namespace ormel::testing_support {

/// A message box that remembers what it was told.
struct RecordingMessageBox : MessageBox {
  std::vector<std::string> shown;
  void showMessage(const std::string& text) override { shown.push_back(text); }
  bool askYesNo(const std::string& text) override {
    shown.push_back(text);
    return false;
  }
  void showError(const std::string& text) override { shown.push_back(text); }
};

/// The main window's logic wired to in-memory widgets, with the default preferences.
struct ScratchPadFixture {
  HeadlessWindow window;
  RecordingMessageBox messages;
  TOrmelPrefs prefs{window, messages};
  TParser parser;
  MemoryLabel statusLabel{"Ready", "Ready", 0x008000};
  ManualTimer* timer = nullptr;
  std::unique_ptr<TStatusInfo> status;
  MemoryComboBox varsDropDown;
  MemoryLabel varsTextLabel;
  MemoryLabel varsLabelItem;
  std::unique_ptr<TSavedVariables> variables;
  MemoryTextControl pad;
  std::vector<std::string> alerts;
  std::unique_ptr<MainWindowLogic> logic;

  ScratchPadFixture() {
    prefs.Init("/dev/null");  // an existing path, so nothing is written
    auto ownTimer = std::make_unique<ManualTimer>();
    timer = ownTimer.get();
    status = std::make_unique<TStatusInfo>(statusLabel, std::move(ownTimer));
    variables = std::make_unique<TSavedVariables>(parser, *status, varsDropDown, varsTextLabel, varsLabelItem);
    logic = std::make_unique<MainWindowLogic>(pad, parser, prefs, *variables, *status, varsDropDown,
                                              [this](const std::string& text) { alerts.push_back(text); });
    pad.setDefaultStyle(CharStyle{regExpColor(), true});
    pad.clear();
    pad.setKeyEventSink(logic.get());
  }

  [[nodiscard]] Color answerColor() const { return static_cast<Color>(*prefs.getSettingValue("AnswerColor").toInteger()); }
  [[nodiscard]] Color regExpColor() const { return static_cast<Color>(*prefs.getSettingValue("RegExpColor").toInteger()); }

  /// Types the text key by key; CR and LF press Enter.
  void type(const std::string& text) {
    for (const char c : text) pad.typeCharacter(static_cast<unsigned char>(c));
  }
};

}  // namespace ormel::testing_support
