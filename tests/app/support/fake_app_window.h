#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/HTTPGet.h"
#include "app/app_window_port.h"
#include "app/file_dialog_port.h"
#include "app/update_check.h"
#include "base/manual_timer.h"
#include "base/task_queue_window_thread.h"
#include "config/headless_window.h"
#include "scratchpad/memory_text_control.h"
#include "scratchpad/memory_widgets.h"
#include "support/recording_message_box.h"
#include "support/window_actions.h"

namespace ormel::testing_support {

/// A save dialog that notes each question and gives the set answer (empty: cancelled).
class RecordingFileDialog final : public FileDialog {
 public:
  std::string askSaveFile(const std::string& title, const std::string& folder) override {
    asked.push_back(title + " in " + folder);
    return answer;
  }
  std::string answer;
  std::vector<std::string> asked;
};

/// A modal dialog that records, into the window's log, what the manager did with it.
template <typename Port>
class RecordingDialog : public Port {
 public:
  RecordingDialog(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
  void setStayOnTop(bool onTop) override { m_log.push_back(m_name + (onTop ? " on top" : " not on top")); }
  void showModal() override { m_log.push_back(m_name + " shown"); }

 protected:
  void note(const std::string& what) { m_log.push_back(m_name + " " + what); }

 private:
  std::string m_name;
  std::vector<std::string>& m_log;
};

class RecordingSettingsDialog final : public RecordingDialog<SettingsDialog> {
 public:
  using RecordingDialog::RecordingDialog;
  void FillList(TOrmelSettings& store) override {
    note("filled with " + std::to_string(store.count()) + " switches");
  }
};

class RecordingPrefsDialog final : public RecordingDialog<PrefsDialog> {
 public:
  using RecordingDialog::RecordingDialog;
  void Init(TOrmelPrefs& store) override { note("given " + std::to_string(store.count()) + " preferences"); }
};

class RecordingHotkeysDialog final : public RecordingDialog<HotkeysDialog> {
 public:
  using RecordingDialog::RecordingDialog;
  void FillList(ActionList& actions) override {
    note("filled with " + std::to_string(actions.count()) + " actions");
  }
};

/// The main window without a display: every port in memory, dialogs that record what was done
/// with them, and toolbars that keep their places.
class FakeAppWindow final : public AppWindow, private UpdateWindow {
 public:
  FakeAppWindow() : m_download(m_windowThread) {}

  [[nodiscard]] TextControl& scratchPad() override { return pad; }
  [[nodiscard]] ScratchPadLook& scratchPadLook() override { return look; }
  [[nodiscard]] MainWindowFrame& frame() override { return look; }
  [[nodiscard]] ActionList& actions() override { return actionList; }
  [[nodiscard]] ComboBox& funcsDropDown() override { return funcs; }
  [[nodiscard]] ComboBox& varsDropDown() override { return vars; }
  [[nodiscard]] Label& varsTextLabel() override { return varsText; }
  [[nodiscard]] Label& varsLabelItem() override { return varsItem; }
  [[nodiscard]] Label& statusText() override { return status; }
  [[nodiscard]] MessageBox& messageBox() override { return messages; }
  [[nodiscard]] std::unique_ptr<Timer> createTimer() override { return std::make_unique<ManualTimer>(); }
  [[nodiscard]] THTTPGet& GetUpdate() override { return m_download; }
  [[nodiscard]] UpdateWindow& updateWindow() override { return *this; }
  [[nodiscard]] FileDialog& fileDialog() override { return saveDialog; }
  void setHintTiming(int pauseMs, int shortPauseMs) override {
    hintTiming = std::to_string(pauseMs) + "/" + std::to_string(shortPauseMs);
  }

  [[nodiscard]] std::vector<ToolbarPlace> toolbarPlaces() const override { return toolbars; }
  void setToolbarVisible(const std::string& name, bool visible) override {
    for (ToolbarPlace& place : toolbars) {
      if (place.name == name) place.visible = visible;
    }
  }
  void placeToolbar(const ToolbarPlace& wanted) override {
    for (ToolbarPlace& place : toolbars) {
      if (place.name == wanted.name) place = wanted;
    }
  }

  [[nodiscard]] std::unique_ptr<SettingsDialog> createSettingsDialog() override {
    return std::make_unique<RecordingSettingsDialog>("switches", dialogLog);
  }
  [[nodiscard]] std::unique_ptr<PrefsDialog> createPrefsDialog() override {
    return std::make_unique<RecordingPrefsDialog>("preferences", dialogLog);
  }
  [[nodiscard]] std::unique_ptr<HotkeysDialog> createHotkeysDialog() override {
    return std::make_unique<RecordingHotkeysDialog>("hotkeys", dialogLog);
  }
  [[nodiscard]] std::unique_ptr<ModalDialog> createAboutDialog() override {
    return std::make_unique<RecordingDialog<ModalDialog>>("about", dialogLog);
  }

  MemoryTextControl pad;
  HeadlessWindow look;
  MemoryActionList actionList = windowActions();
  MemoryComboBox funcs;
  MemoryComboBox vars;
  MemoryLabel varsText;
  MemoryLabel varsItem;
  MemoryLabel status;
  RecordingMessageBox messages;
  RecordingFileDialog saveDialog;
  std::string hintTiming;
  std::vector<ToolbarPlace> toolbars = [] {
    std::vector<ToolbarPlace> places(3);
    places[0].name = "FuncsToolbar";
    places[1].name = "VarsToolbar";
    places[2].name = "VarsTextToolbar";
    return places;
  }();
  std::vector<std::string> dialogLog;

 private:
  void hide() override {}
  void show() override {}
  void close() override {}

  TaskQueueWindowThread m_windowThread;
  THTTPGet m_download;
};

}  // namespace ormel::testing_support
