#include "app/appmanager.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "app/HTTPGet.h"
#include "app/toolbar_layout.h"
#include "base/atomic_file.h"
#include "base/set_aside_copy.h"
#include "base/text.h"
#include "scratchpad/content_file.h"

namespace ormel {
namespace {

constexpr int kHintPauseMs = 500;
constexpr int kHintShortPauseMs = 1;

void appendNames(std::vector<std::string>& items, const FunctionTable& table, const char* suffix) {
  for (int i = 0; i < table.count(); ++i) items.push_back(table.name(i) + suffix);
}

constexpr const char* kSavePadElsewhere = "Save the scratch pad in another file before ormelCalc closes?";

/// What was wrong with a file that is not written over, so needs no copy.
std::string setAsideMessage(const std::string& path, const LoadNotes& notes) {
  std::string text = "\"" + path + "\" could not be read in full (" + notes.front();
  if (notes.size() > 1) text += "; and " + std::to_string(notes.size() - 1) + " more";
  return text + ").";
}

/// A content stream error does not name its file.
std::string streamProblem(const std::string& path, const EContentStreamError& error) {
  return "\"" + path + "\": " + error.message() + (error.reason().empty() ? "" : " (" + error.reason() + ")");
}

std::string textOf(const TextControl& pad) {
  std::string text;
  for (int n = 0; n < pad.lineCount(); ++n) text += (n > 0 ? "\n" : "") + pad.line(n);
  return text;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

}  // namespace

std::vector<std::string> functionListItems(const TCustomParser& parser) {
  std::vector<std::string> items;
  appendNames(items, parser.getFunctionOne(), " [1 Arg]");
  appendNames(items, parser.getFunctionTwo(), " [2 Arg]");
  std::stable_sort(items.begin(), items.end(),
                   [](const std::string& a, const std::string& b) { return compareTextAscii(a, b) < 0; });
  return items;
}

TAppManager::TAppManager(AppWindow& window, TParser& parser, Folders folders)
    : m_window(window),
      m_parser(parser),
      m_folders(std::move(folders)),
      m_updateDownloader(window.GetUpdate()) {}

void TAppManager::Init() {
  m_initializing = true;
  seedRandomGeneratorFromClock();
  // Where to write is decided only by the instance that stays: until then nothing is created,
  // probed or written in either folder.
  m_dataFolder = DataFolder{};
  m_dataFolder.path = dataFolderPlaces(m_folders.programFolder, m_folders.userDataHome).beside;
  m_paths = DataPaths{m_dataFolder.path,       readPath("vars.xml"),    readPath("settings.xml"),
                      readPath("prefs.xml"),   readPath("hotkeys.xml"), readPath("workspace.dat"),
                      readPath("toolbars.ini")};
  // The variables store reports through the status line, so the status line comes first.
  m_statusInfo = std::make_unique<TStatusInfo>(m_window.statusText(), m_window.createTimer());
  m_savedVariables = std::make_unique<TSavedVariables>(m_parser, *m_statusInfo, m_window.varsDropDown(),
                                                       m_window.varsTextLabel(), m_window.varsLabelItem());
  m_settings = std::make_unique<TOrmelSettings>(m_window.frame(), m_window.scratchPadLook());
  m_prefs = std::make_unique<TOrmelPrefs>(m_window.scratchPadLook(), m_window.messageBox());
  m_hotKeys = std::make_unique<TOrmelHotKeys>();
  m_window.setHintTiming(kHintPauseMs, kHintShortPauseMs);
  InitFunctionList();
  LoadSettings();
  m_initializing = false;
}

std::string TAppManager::readPath(const std::string& name) const {
  return dataFileToRead(dataFolderPlaces(m_folders.programFolder, m_folders.userDataHome), name);
}

void TAppManager::setPaths(const std::string& dir) {
  m_paths = DataPaths{dir,
                      dir + "vars.xml",
                      dir + "settings.xml",
                      dir + "prefs.xml",
                      dir + "hotkeys.xml",
                      dir + "workspace.dat",
                      dir + "toolbars.ini"};
}

void TAppManager::takeOverDataFolder() {
  m_dataFolder = chooseDataFolder(m_folders.programFolder, m_folders.userDataHome);
  const std::string& dir = m_dataFolder.path;
  setPaths(dir);
  if (!m_dataFolder.writable) {
    m_window.messageBox().showError(
        "ormelCalc cannot write to its data folder \"" + dir + "\" (" + m_dataFolder.reason +
        "). Variables, settings and the workspace will not be saved when it closes.");
  } else if (!m_dataFolder.bypassed.empty()) {
    m_window.messageBox().showMessage("ormelCalc cannot save changes in its data folder \"" +
                                      m_dataFolder.bypassed + "\" (" + m_dataFolder.bypassedReason +
                                      "). Its files have been read; changes "
                                      "are saved in \"" +
                                      dir + "\" from now on.");
  }
  if (m_dataFolder.writable) removeStaleTemporaryFiles(dir);
  std::vector<std::string> problems = m_loadProblems;
  for (const Unusable& file : m_unusable) {
    if (folderOf(file.path) + "/" != dir) {
      // Read from a folder that is not written: nothing will be written over it.
      problems.push_back(setAsideMessage(file.path, file.notes) + " It is left as it is.");
      continue;
    }
    const SetAside setAside = setAsideUnusableFile(file.path, file.bytes, file.notes);
    problems.push_back(setAside.message);
    if (!setAside.kept) {
      m_untouchable.push_back({file.path, "no copy of what it held could be made (" + setAside.reason + ")"});
    }
  }
  m_unusable.clear();
  if (m_dataFolder.writable) {
    // A first run's defaults; a file found unreadable is not replaced by them.
    try {
      if (!fileExists(m_paths.SettingsFile) && mayWrite(m_paths.SettingsFile))
        m_settings->Save(m_paths.SettingsFile);
      if (!fileExists(m_paths.PrefsFile) && mayWrite(m_paths.PrefsFile)) m_prefs->Save(m_paths.PrefsFile);
    } catch (const std::exception& error) {
      problems.push_back(error.what());
    }
  }
  m_padUnsaved.reset();
  if (!mayWrite(m_paths.WorkspaceFile)) m_padUnsaved = textOf(m_window.scratchPad());
  report(problems, "ormelCalc could not read all of its data files:");
}

void TAppManager::InitFunctionList() { m_window.funcsDropDown().setItems(functionListItems(m_parser)); }

bool TAppManager::loadStep(const std::string& path, std::size_t limit,
                           const std::function<void(const std::string& bytes, LoadNotes& notes)>& step) {
  std::string bytes;
  const FileResult read = readWholeFile(path, bytes, limit);
  if (!read.ok) {
    // A missing file, or a missing folder on the way to it, is a first run's.
    if (read.error == ENOENT || read.error == ENOTDIR) return false;
    m_loadProblems.push_back("\"" + path + "\" cannot be read (" + read.reason +
                             "). It is left as it is, and nothing is saved to it.");
    m_untouchable.push_back({path, "it could not be read when ormelCalc started (" + read.reason + ")"});
    return false;
  }
  LoadNotes notes;
  try {
    step(bytes, notes);
  } catch (const std::exception& error) {
    notes.emplace_back(error.what());
  }
  if (!notes.empty()) m_unusable.push_back(Unusable{path, std::move(bytes), std::move(notes)});
  return true;
}

bool TAppManager::mayWrite(const std::string& path) const { return whyUntouchable(path) == nullptr; }

const std::string* TAppManager::whyUntouchable(const std::string& path) const {
  const auto found = std::find_if(m_untouchable.begin(), m_untouchable.end(),
                                  [&](const Untouchable& file) { return file.path == path; });
  return found == m_untouchable.end() ? nullptr : &found->why;
}

void TAppManager::LoadSettings() {
  m_loadProblems.clear();
  m_unusable.clear();
  m_untouchable.clear();
  loadStep(m_paths.VarsFile, kSettingsFileLimit,
           [&](const std::string&, LoadNotes& notes) { m_savedVariables->Load(m_paths.VarsFile, &notes); });
  m_savedVariables->UpdateVariableListBox();
  m_settings->InitTable();
  loadStep(m_paths.SettingsFile, kSettingsFileLimit,
           [&](const std::string&, LoadNotes& notes) { m_settings->Load(m_paths.SettingsFile, &notes); });
  m_prefs->InitTable();
  loadStep(m_paths.PrefsFile, kSettingsFileLimit,
           [&](const std::string&, LoadNotes& notes) { m_prefs->Load(m_paths.PrefsFile, &notes); });
  m_prefs->ApplyPrefs();
  loadStep(m_paths.HotkeysFile, kSettingsFileLimit, [&](const std::string&, LoadNotes& notes) {
    m_hotKeys->Load(m_paths.HotkeysFile, m_window.actions(), &notes);
  });
  if (m_settings->saveWorkspace() && fileExists(m_paths.WorkspaceFile)) {
    loadStep(m_paths.WorkspaceFile, kContentFileLimit, [&](const std::string& bytes, LoadNotes& notes) {
      if (!rtfIsComplete(bytes)) notes.emplace_back("it ends before all of its groups are closed");
      m_window.scratchPad().loadContent(m_paths.WorkspaceFile);
    });
  }
  if (fileExists(m_paths.ToolbarsFile)) {
    loadStep(m_paths.ToolbarsFile, kSettingsFileLimit, [&](const std::string&, LoadNotes& notes) {
      applyToolbarLayout(m_paths.ToolbarsFile, m_window, &notes);
    });
  }
}

bool TAppManager::SaveSettings() {
  std::vector<std::string> problems;
  const auto save = [&](const std::string& path, const std::function<void()>& step) {
    if (!mayWrite(path)) return;
    try {
      step();
    } catch (const EContentStreamError& error) {
      problems.push_back(streamProblem(path, error));
    } catch (const std::exception& error) {
      problems.push_back(error.what());
    }
  };
  save(m_paths.VarsFile, [&] { m_savedVariables->Save(m_paths.VarsFile); });
  save(m_paths.SettingsFile, [&] { m_settings->Save(m_paths.SettingsFile); });
  save(m_paths.PrefsFile, [&] { m_prefs->Save(m_paths.PrefsFile); });
  save(m_paths.HotkeysFile, [&] { m_hotKeys->Save(m_paths.HotkeysFile, m_window.actions()); });
  if (m_settings->saveWorkspace()) {
    save(m_paths.WorkspaceFile, [&] { m_window.scratchPad().saveContent(m_paths.WorkspaceFile); });
    // Skipping the workspace drops what was typed since the start, unless nothing was.
    const std::string* why = whyUntouchable(m_paths.WorkspaceFile);
    const TextControl& pad = m_window.scratchPad();
    if (why != nullptr && !(pad.lineCount() <= 1 && pad.lineLength(0) == 0) &&
        (!m_padUnsaved || textOf(pad) != *m_padUnsaved)) {
      problems.push_back("\"" + m_paths.WorkspaceFile + "\" is not saved: " + *why + ".");
    }
  }
  save(m_paths.ToolbarsFile, [&] { writeToolbarLayout(m_paths.ToolbarsFile, m_window.toolbarPlaces()); });
  if (problems.empty()) return true;
  const std::string text = "ormelCalc could not save all of its data files:" + joinLines(problems);
  const TextControl& pad = m_window.scratchPad();
  if (pad.lineCount() <= 1 && pad.lineLength(0) == 0) {
    m_window.messageBox().showError(text);
  } else if (m_window.messageBox().askYesNo(text + "\n\n" + kSavePadElsewhere)) {
    offerToSavePadElsewhere();
  }
  return false;
}

void TAppManager::offerToSavePadElsewhere() {
  const char* home = std::getenv("HOME");
  const std::string folder = home != nullptr && home[0] == '/' ? home : m_paths.DataDir;
  for (;;) {
    const std::string path = m_window.fileDialog().askSaveFile("Save Sheet As", folder);
    // A cancelled dialog is asked about once more, so that a slip does not lose the pad.
    std::string problem = "The scratch pad has not been saved.";
    if (!path.empty()) {
      try {
        m_window.scratchPad().saveContent(path);
        return;
      } catch (const EContentStreamError& error) {
        problem = streamProblem(path, error);
      } catch (const std::exception& error) {
        problem = error.what();
      }
    }
    if (!m_window.messageBox().askYesNo(problem + "\n\n" + kSavePadElsewhere)) return;
  }
}

void TAppManager::report(const std::vector<std::string>& problems, const std::string& heading) {
  if (!problems.empty()) m_window.messageBox().showError(heading + joinLines(problems));
}

void TAppManager::showModally(ModalDialog& dialog) {
  dialog.setStayOnTop(m_settings->alwaysOnTop());
  dialog.showModal();
}

void TAppManager::showSettingsDialog() {
  if (const std::unique_ptr<SettingsDialog> dialog = m_window.createSettingsDialog()) {
    dialog->FillList(*m_settings);
    showModally(*dialog);
  }
}

void TAppManager::showPrefsDialog() {
  if (const std::unique_ptr<PrefsDialog> dialog = m_window.createPrefsDialog()) {
    dialog->Init(*m_prefs);
    showModally(*dialog);
  }
}

void TAppManager::showHotkeysDialog() {
  if (const std::unique_ptr<HotkeysDialog> dialog = m_window.createHotkeysDialog()) {
    dialog->FillList(m_window.actions());
    showModally(*dialog);
  }
}

void TAppManager::showAboutDialog() {
  if (const std::unique_ptr<ModalDialog> dialog = m_window.createAboutDialog()) showModally(*dialog);
}

void TAppManager::AlwaysOnTop(bool on) { m_window.frame().setAlwaysOnTop(on); }

void TAppManager::checkForUpdate() {
  if (!m_updateCheck) {
    m_updateCheck =
        std::make_unique<UpdateCheck>(makeUpdatePaths(m_paths.DataDir, m_updateServer), m_updateDownloader,
                                      m_window.messageBox(), m_window.updateWindow(), m_updaterStarter);
  }
  // Closing the window may end the check object during this call: nothing may follow it.
  m_updateCheck->checkForUpdate();
}

void TAppManager::endUpdateCheck() {
  THTTPGet& download = m_window.GetUpdate();
  if (!download.busy()) return;
  // The check looks after each download whether it still exists, and ends there.
  download.Abort();
  m_updateCheck.reset();
}

}  // namespace ormel
