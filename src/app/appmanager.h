#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/app_window_port.h"
#include "app/data_folder.h"
#include "app/process_starter.h"
#include "app/update_check.h"
#include "app/update_downloader.h"
#include "config/hotkeys.h"
#include "config/prefs.h"
#include "config/settings.h"
#include "engine/parser.h"
#include "scratchpad/savevars.h"
#include "scratchpad/statusbar.h"

namespace ormel {

/// The main window's caption: the product text and the maker's notice.
inline constexpr const char* kWindowCaption =
    "ormelCalc 2.0 public beta - a scratch-pad calculator for your desktop";
/// The application title, under which a later instance finds this one.
inline constexpr const char* kApplicationTitle = "ormelCalc";

/// The data folder and the paths of its files, set once by Init.
struct DataPaths {
  std::string DataDir;
  std::string VarsFile;
  std::string SettingsFile;
  std::string PrefsFile;
  std::string HotkeysFile;
  std::string WorkspaceFile;
  std::string ToolbarsFile;
};

/// Sits between the main window and what lives as long as the program: the data paths, the
/// stores, the functions drop-down's list, the loading and saving of all settings, the
/// workspace and the toolbar layout, and the modal dialogs.
class TAppManager {
 public:
  /// Where the data folder is looked for: "data" beside the program, else the per-user one.
  struct Folders {
    std::string programFolder;
    std::string userDataHome;
  };

  /// The window and the parser must outlive the manager.
  TAppManager(AppWindow& window, TParser& parser, Folders folders);

  /// True from the start to the end of Init.
  [[nodiscard]] bool Initializing() const { return m_initializing; }

  /// Seeds the random generator, chooses the data folder, creates the stores, fills the
  /// functions drop-down and loads all settings. A data folder that cannot be written is said
  /// once; a file that cannot be read is reported and the rest goes on loading.
  void Init();
  /// Fills the functions drop-down with every function of the parser, "NAME [1 Arg]" or
  /// "NAME [2 Arg]", sorted without regard to case.
  void InitFunctionList();
  /// Reads all files of the data folder.
  void LoadSettings();
  /// Writes all files of the data folder. Each file that cannot be written is reported (all of
  /// them in one message) and the others are written all the same. True when all were written.
  bool SaveSettings();

  /// Each creates its dialog with the main window as owner, prepares it with what it edits,
  /// makes it stay on top while "AlwaysOnTop" is on, shows it modally and destroys it when it
  /// closes. What the dialog changes it applies itself; nothing is written to disk.
  void showSettingsDialog();
  void showPrefsDialog();
  void showHotkeysDialog();
  void showAboutDialog();

  /// The main window's stay-on-top state.
  void AlwaysOnTop(bool on);

  /// "Check For Update" with the window's download component, message box and window: the
  /// version file is fetched into the data folder and, when the user agrees to a new version, the
  /// updater is fetched there, started with the update folder's address, the program's file name
  /// and the running executable's name, and the window is closed the normal way. A check chosen
  /// while one runs returns at once.
  void checkForUpdate();
  /// For the window's close handler: a check that is downloading is aborted and does nothing more;
  /// one that shows a message ends when the message closes.
  void endUpdateCheck();
  /// Sets the web server the update check asks, "http://host[:port]" without a trailing "/";
  /// the maker's server unless set before the first check.
  void setUpdateServer(std::string address) { m_updateServer = std::move(address); }

  [[nodiscard]] const DataPaths& paths() const { return m_paths; }
  /// The stores; they exist once Init has run.
  [[nodiscard]] TSavedVariables& SavedVariables() { return *m_savedVariables; }
  [[nodiscard]] TOrmelSettings& OrmelSettings() { return *m_settings; }
  [[nodiscard]] TOrmelPrefs& OrmelPrefs() { return *m_prefs; }
  [[nodiscard]] TOrmelHotKeys& OrmelHotKeys() { return *m_hotKeys; }
  [[nodiscard]] TStatusInfo& StatusInfo() { return *m_statusInfo; }

 private:
  /// Makes a prepared dialog stay on top while "AlwaysOnTop" is on and shows it modally.
  void showModally(ModalDialog& dialog);
  /// Runs one step of loading; an error is reported and, when the file is one the user's data
  /// lives in, the file is kept beside as ".bak" so that saving cannot overwrite it.
  void loadStep(const std::string& file, bool keepCopyOnError, const std::function<void()>& step);
  void report(const std::vector<std::string>& problems, const std::string& heading);

  AppWindow& m_window;
  TParser& m_parser;
  Folders m_folders;
  bool m_initializing = false;
  DataFolder m_dataFolder;
  DataPaths m_paths;
  std::vector<std::string> m_loadProblems;
  std::unique_ptr<TStatusInfo> m_statusInfo;
  std::unique_ptr<TSavedVariables> m_savedVariables;
  std::unique_ptr<TOrmelSettings> m_settings;
  std::unique_ptr<TOrmelPrefs> m_prefs;
  std::unique_ptr<TOrmelHotKeys> m_hotKeys;
  std::string m_updateServer = updateServerAddress();
  HTTPGetDownloader m_updateDownloader;
  PosixSpawnStarter m_updaterStarter;
  // Kept between checks, so that a check chosen during another's download finds it running.
  std::unique_ptr<UpdateCheck> m_updateCheck;
};

/// The function drop-down's items for the parser's tables: each one-argument name with
/// " [1 Arg]", each two-argument name with " [2 Arg]", sorted as a case-insensitive sorted list
/// box sorts (a blank before digits, digits before letters).
[[nodiscard]] std::vector<std::string> functionListItems(const TCustomParser& parser);

}  // namespace ormel
