#include "app/appmanager.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/headless_window.h"
#include "scratchpad/memory_text_control.h"

namespace ormel {
namespace {

using Log = std::vector<std::string>;

// Records what the manager does with a dialog; "destroyed" when the manager lets it go.
template <class Interface>
class RecordingDialog : public Interface {
 public:
  RecordingDialog(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}
  ~RecordingDialog() override { m_log.push_back(m_name + " destroyed"); }
  void setStayOnTop(bool onTop) override { m_log.push_back(m_name + (onTop ? " on top" : " normal")); }
  void showModal() override { m_log.push_back(m_name + " shown"); }

 protected:
  Log& m_log;
  std::string m_name;
};

class RecordingSettingsDialog final : public RecordingDialog<SettingsDialog> {
 public:
  using RecordingDialog::RecordingDialog;
  void FillList(TOrmelSettings& store) override {
    m_log.push_back(m_name + " filled with " + std::to_string(store.count()) + " switches");
  }
};

class RecordingPrefsDialog final : public RecordingDialog<PrefsDialog> {
 public:
  using RecordingDialog::RecordingDialog;
  void Init(TOrmelPrefs& store) override {
    m_log.push_back(m_name + " filled with " + std::to_string(store.count()) + " preferences");
  }
};

class RecordingHotkeysDialog final : public RecordingDialog<HotkeysDialog> {
 public:
  using RecordingDialog::RecordingDialog;
  void FillList(ActionList& actions) override {
    m_log.push_back(m_name + " filled with " + std::to_string(actions.count()) + " actions");
  }
};

class SilentMessageBox final : public MessageBox {
 public:
  void showMessage(const std::string& /*text*/) override {}
  bool askYesNo(const std::string& /*text*/) override { return false; }
  void showError(const std::string& /*text*/) override {}
};

// The main window without a display, making recording dialogs.
class FakeWindow final : public AppWindow {
 public:
  explicit FakeWindow(Log& log) : m_log(log) {}

  TextControl& scratchPad() override { return m_pad; }
  ScratchPadLook& scratchPadLook() override { return m_window; }
  MainWindowFrame& frame() override { return m_window; }
  ActionList& actions() override { return m_actions; }
  ComboBox& funcsDropDown() override { return m_funcs; }
  ComboBox& varsDropDown() override { return m_vars; }
  Label& varsTextLabel() override { return m_varsText; }
  Label& varsLabelItem() override { return m_varsLabel; }
  Label& statusText() override { return m_status; }
  MessageBox& messageBox() override { return m_messages; }
  std::unique_ptr<Timer> createTimer() override { return std::make_unique<ManualTimer>(); }
  void setHintTiming(int /*pauseMs*/, int /*shortPauseMs*/) override {}
  std::vector<ToolbarPlace> toolbarPlaces() const override { return {}; }
  void setToolbarVisible(const std::string& /*name*/, bool /*visible*/) override {}
  void placeToolbar(const ToolbarPlace& /*place*/) override {}

  std::unique_ptr<SettingsDialog> createSettingsDialog() override { return make<RecordingSettingsDialog>("switches"); }
  std::unique_ptr<PrefsDialog> createPrefsDialog() override { return make<RecordingPrefsDialog>("preferences"); }
  std::unique_ptr<HotkeysDialog> createHotkeysDialog() override { return make<RecordingHotkeysDialog>("hotkeys"); }
  std::unique_ptr<ModalDialog> createAboutDialog() override { return make<RecordingDialog<ModalDialog>>("about"); }

 private:
  template <class Dialog>
  std::unique_ptr<Dialog> make(const std::string& name) {
    m_log.push_back(name + " created");
    return std::make_unique<Dialog>(m_log, name);
  }

  Log& m_log;
  MemoryTextControl m_pad;
  HeadlessWindow m_window;
  MemoryActionList m_actions{{{"Quit", "ormelCuts", "", 0}, {"About", "", "", 0}}};
  MemoryComboBox m_funcs;
  MemoryComboBox m_vars;
  MemoryLabel m_varsText;
  MemoryLabel m_varsLabel;
  MemoryLabel m_status;
  SilentMessageBox m_messages;
};

class DialogPattern : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = std::filesystem::temp_directory_path() /
               ("ormel_dialogs_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    m_manager.Init();
    m_log.clear();
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  std::filesystem::path m_folder;
  Log m_log;
  FakeWindow m_window{m_log};
  TParser m_parser;
  TAppManager m_manager{m_window, m_parser, {m_folder.string() + "/", m_folder.string() + "/home/"}};
};

TEST_F(DialogPattern, CreatesPreparesShowsAndDestroysEachDialog) {
  m_manager.showSettingsDialog();
  m_manager.showPrefsDialog();
  m_manager.showHotkeysDialog();
  m_manager.showAboutDialog();
  const Log expected{
      "switches created",    "switches filled with 3 switches",       "switches normal",    "switches shown",
      "switches destroyed",  "preferences created",                   "preferences filled with 8 preferences",
      "preferences normal",  "preferences shown",                     "preferences destroyed",
      "hotkeys created",     "hotkeys filled with 2 actions",         "hotkeys normal",     "hotkeys shown",
      "hotkeys destroyed",   "about created",                         "about normal",       "about shown",
      "about destroyed",
  };
  EXPECT_EQ(m_log, expected);
}

TEST_F(DialogPattern, DialogsStayOnTopWhileTheSwitchIsOn) {
  m_manager.OrmelSettings().setSettingValue(m_manager.OrmelSettings().getSettingIndex("AlwaysOnTop"), true);
  m_manager.showAboutDialog();
  m_manager.showHotkeysDialog();
  EXPECT_NE(std::find(m_log.begin(), m_log.end(), "about on top"), m_log.end());
  EXPECT_NE(std::find(m_log.begin(), m_log.end(), "hotkeys on top"), m_log.end());
}

TEST_F(DialogPattern, WritesNoFile) {
  const auto before = std::filesystem::last_write_time(m_manager.paths().SettingsFile);
  std::filesystem::remove(m_manager.paths().PrefsFile);
  m_manager.showSettingsDialog();
  m_manager.showPrefsDialog();
  EXPECT_FALSE(std::filesystem::exists(m_manager.paths().PrefsFile));
  EXPECT_EQ(std::filesystem::last_write_time(m_manager.paths().SettingsFile), before);
}

}  // namespace
}  // namespace ormel
