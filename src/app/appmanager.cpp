#include "app/appmanager.h"

#include <algorithm>
#include <cstdio>

#include "app/HTTPGet.h"
#include "app/toolbar_layout.h"
#include "base/atomic_file.h"
#include "base/text.h"

namespace ormel {
namespace {

constexpr int kHintPauseMs = 500;
constexpr int kHintShortPauseMs = 1;

void appendNames(std::vector<std::string>& items, const FunctionTable& table, const char* suffix) {
  for (int i = 0; i < table.count(); ++i) items.push_back(table.name(i) + suffix);
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
  m_dataFolder = chooseDataFolder(m_folders.programFolder, m_folders.userDataHome);
  const std::string& dir = m_dataFolder.path;
  m_paths = DataPaths{dir,
                      dir + "vars.xml",
                      dir + "settings.xml",
                      dir + "prefs.xml",
                      dir + "hotkeys.xml",
                      dir + "workspace.dat",
                      dir + "toolbars.ini"};
  // The variables store reports through the status line, so the status line comes first.
  m_statusInfo = std::make_unique<TStatusInfo>(m_window.statusText(), m_window.createTimer());
  m_savedVariables = std::make_unique<TSavedVariables>(m_parser, *m_statusInfo, m_window.varsDropDown(),
                                                       m_window.varsTextLabel(), m_window.varsLabelItem());
  m_settings = std::make_unique<TOrmelSettings>(m_window.frame(), m_window.scratchPadLook());
  m_prefs = std::make_unique<TOrmelPrefs>(m_window.scratchPadLook(), m_window.messageBox());
  m_hotKeys = std::make_unique<TOrmelHotKeys>();
  m_window.setHintTiming(kHintPauseMs, kHintShortPauseMs);
  InitFunctionList();
  if (!m_dataFolder.writable) {
    m_window.messageBox().showError(
        "ormelCalc cannot write to its data folder \"" + dir + "\" (" + m_dataFolder.reason +
        "). Variables, settings and the workspace will not be saved when it closes.");
  }
  LoadSettings();
  m_initializing = false;
}

void TAppManager::InitFunctionList() { m_window.funcsDropDown().setItems(functionListItems(m_parser)); }

void TAppManager::loadStep(const std::string& file, bool keepCopyOnError, const std::function<void()>& step) {
  try {
    step();
  } catch (const EFCreateError& error) {
    // A first run's defaults that cannot be written: the unwritable folder was already said.
    if (m_dataFolder.writable) m_loadProblems.push_back(error.what());
  } catch (const std::exception& error) {
    std::string problem = error.what();
    if (keepCopyOnError && std::rename(file.c_str(), (file + ".bak").c_str()) == 0) {
      problem += " The file has been kept as \"" + file + ".bak\".";
    }
    m_loadProblems.push_back(problem);
  }
}

void TAppManager::LoadSettings() {
  m_loadProblems.clear();
  loadStep(m_paths.VarsFile, true, [&] { m_savedVariables->Load(m_paths.VarsFile); });
  m_savedVariables->UpdateVariableListBox();
  loadStep(m_paths.SettingsFile, false, [&] {
    m_settings->Init(m_paths.SettingsFile);
    m_settings->Load(m_paths.SettingsFile);
  });
  loadStep(m_paths.PrefsFile, false, [&] {
    m_prefs->Init(m_paths.PrefsFile);
    m_prefs->Load(m_paths.PrefsFile);
  });
  m_prefs->ApplyPrefs();
  loadStep(m_paths.HotkeysFile, false, [&] { m_hotKeys->Load(m_paths.HotkeysFile, m_window.actions()); });
  if (m_settings->saveWorkspace() && fileExists(m_paths.WorkspaceFile)) {
    loadStep(m_paths.WorkspaceFile, true, [&] { m_window.scratchPad().loadContent(m_paths.WorkspaceFile); });
  }
  if (fileExists(m_paths.ToolbarsFile)) {
    loadStep(m_paths.ToolbarsFile, false, [&] { applyToolbarLayout(m_paths.ToolbarsFile, m_window); });
  }
  report(m_loadProblems, "ormelCalc could not read all of its data files:");
}

bool TAppManager::SaveSettings() {
  std::vector<std::string> problems;
  const auto save = [&](const std::function<void()>& step) {
    try {
      step();
    } catch (const std::exception& error) {
      problems.push_back(error.what());
    }
  };
  save([&] { m_savedVariables->Save(m_paths.VarsFile); });
  save([&] { m_settings->Save(m_paths.SettingsFile); });
  save([&] { m_prefs->Save(m_paths.PrefsFile); });
  save([&] { m_hotKeys->Save(m_paths.HotkeysFile, m_window.actions()); });
  if (m_settings->saveWorkspace()) {
    save([&] { m_window.scratchPad().saveContent(m_paths.WorkspaceFile); });
  }
  save([&] { writeToolbarLayout(m_paths.ToolbarsFile, m_window.toolbarPlaces()); });
  report(problems, "ormelCalc could not save all of its data files:");
  return problems.empty();
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
