#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
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

  /// Seeds the random generator, finds the data files, creates the stores, fills the functions
  /// drop-down and loads all settings. Writes nothing and shows nothing, so that a second
  /// instance that ends at once leaves no trace: the instance that stays calls
  /// takeOverDataFolder next.
  void Init();
  /// For the instance that stays: decides which folder is written (creating it when missing),
  /// removes temporary files that killed saves left there, keeps aside every file that could
  /// not be used in full before anything can be written over it, writes the first run's
  /// defaults, and says in one message what the start-up found.
  void takeOverDataFolder();
  /// Fills the functions drop-down with every function of the parser, "NAME [1 Arg]" or
  /// "NAME [2 Arg]", sorted without regard to case.
  void InitFunctionList();
  /// Reads all files of the data folder. A file that cannot be read (no permission, no regular
  /// file, too large) is noted and will not be written; one that could not be used in full is
  /// noted to be kept aside.
  void LoadSettings();
  /// Writes all files of the data folder but those that could not be read. When a file cannot
  /// be written, one message names each such file with the reason; the others are written all
  /// the same, and the user is offered to save the scratch pad elsewhere (until it is saved or
  /// the user declines). True when all were written. A workspace that is left as it is counts
  /// as not written when the pad holds text that differs from what it held at the start.
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
  [[nodiscard]] const DataFolder& dataFolder() const { return m_dataFolder; }
  /// The stores; they exist once Init has run.
  [[nodiscard]] TSavedVariables& SavedVariables() { return *m_savedVariables; }
  [[nodiscard]] TOrmelSettings& OrmelSettings() { return *m_settings; }
  [[nodiscard]] TOrmelPrefs& OrmelPrefs() { return *m_prefs; }
  [[nodiscard]] TOrmelHotKeys& OrmelHotKeys() { return *m_hotKeys; }
  [[nodiscard]] TStatusInfo& StatusInfo() { return *m_statusInfo; }

 private:
  /// A file read at start-up that could not be used in full: its bytes and what was wrong.
  struct Unusable {
    std::string path;
    std::string bytes;
    LoadNotes notes;
  };

  /// Makes a prepared dialog stay on top while "AlwaysOnTop" is on and shows it modally.
  void showModally(ModalDialog& dialog);
  /// Runs one step of loading the file at path, read at most limit bytes: a file that cannot be
  /// read is noted and not written later; what the step notes, or an error it raises, marks the
  /// file to be kept aside. False when the step did not run.
  bool loadStep(const std::string& path, std::size_t limit,
                const std::function<void(const std::string& bytes, LoadNotes& notes)>& step);
  /// The path a data file is read from before the data folder is taken over.
  [[nodiscard]] std::string readPath(const std::string& name) const;
  /// Sets the six data-file paths in folder.
  void setPaths(const std::string& folder);
  /// True unless the file was found unreadable or could not be kept aside.
  [[nodiscard]] bool mayWrite(const std::string& path) const;
  /// Why the file is left as it is, or nullptr when it may be written.
  [[nodiscard]] const std::string* whyUntouchable(const std::string& path) const;
  /// Offers to save the scratch pad in another file after a failed save.
  void offerToSavePadElsewhere();
  void report(const std::vector<std::string>& problems, const std::string& heading);

  AppWindow& m_window;
  TParser& m_parser;
  Folders m_folders;
  bool m_initializing = false;
  DataFolder m_dataFolder;
  DataPaths m_paths;
  std::vector<std::string> m_loadProblems;
  std::vector<Unusable> m_unusable;
  /// A file that is left as it is, and why: an unreadable one, or a bad one no copy could be
  /// made of.
  struct Untouchable {
    std::string path;
    std::string why;
  };
  std::vector<Untouchable> m_untouchable;
  // The pad's text when the data folder was taken over, kept only when the workspace will not be
  // saved: what differs from it at exit is what the user would lose.
  std::optional<std::string> m_padUnsaved;
  bool m_settingsFileFound = false;
  bool m_prefsFileFound = false;
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
