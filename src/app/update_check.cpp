#include "app/update_check.h"

#include <sys/stat.h>

#include <cstdio>

#include "base/text.h"
#include "config/ini_file.h"
#include "config/store_support.h"

namespace ormel {

namespace {

constexpr std::string_view kNewVersionText = "A new %s (%s) update has been released!  Update automatically?";
constexpr std::string_view kLatestVersionText = "You have the latest version (%s) of %s.";
constexpr std::string_view kNoVersionText =
    "The update check failed: no version information could be fetched from %s.";
constexpr std::string_view kNoUpdaterText = "The %s updater could not be downloaded from %s.";
constexpr std::string_view kUpdaterFailedText = "The %s updater could not be started: %s";
// A value is one trimmed line, so this default can never be a value read from the file.
constexpr std::string_view kMissing = "\n";

bool nonEmptyFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
}

}  // namespace

std::string formatPlain(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string text;
  const std::string_view* value = values.begin();
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    if (pattern.compare(at, 2, "%s") == 0 && value != values.end()) {
      text += *value++;
      ++at;
    } else {
      text += pattern[at];
    }
  }
  return text;
}

UpdateCheck::UpdateCheck(UpdatePaths paths, UpdateDownloader& downloader, MessageBox& messages,
                         UpdateWindow& window, ProcessStarter& starter)
    : m_paths(std::move(paths)),
      m_downloader(downloader),
      m_messages(messages),
      m_window(window),
      m_starter(starter) {}

void UpdateCheck::checkForUpdate() {
  if (m_running) return;
  m_running = true;
  UpdateWindow& window = m_window;
  const Ending ending = runCheck();
  if (ending == Ending::kGone) return;
  m_running = false;
  // Closing frees the application manager and with it this check: nothing of it is used after.
  if (ending == Ending::kClose) window.close();
}

UpdateCheck::Ending UpdateCheck::runCheck() {
  const std::shared_ptr<bool> alive = m_alive;
  const std::string versionURL = m_paths.UpdateURL + m_paths.UpdateFileName;
  const std::string versionFile = m_paths.DataDir + m_paths.UpdateFileName;
  const bool fetched = m_downloader.download(versionURL, versionFile, kMaxVersionFileSize);
  if (!*alive) return Ending::kGone;
  const std::string version =
      fetched ? readProfileString(versionFile, kProductName, "VERSION", kMissing) : std::string(kMissing);
  m_window.hide();
  if (version == kMissing) {
    // Without a version there is nothing to compare; claiming to be up to date would be false.
    m_messages.showError(formatPlain(kNoVersionText, {versionURL}));
  } else if (version == kVersionText) {
    m_messages.showMessage(formatPlain(kLatestVersionText, {version, kProductName}));
  } else if (m_messages.askYesNo(
                 formatPlain(kNewVersionText, {kProductName, abbreviated(version, kQuotedTextLimit)}))) {
    if (startUpdater()) return Ending::kClose;
    if (!*alive) return Ending::kGone;
  }
  m_window.show();
  return Ending::kGoOn;
}

bool UpdateCheck::startUpdater() {
  const std::string updater = m_paths.DataDir + m_paths.UpdaterFileName;
  if (!provideUpdater(updater)) return false;
  std::string reason;
  StartResult started;
  if (makeExecutable(updater, reason)) {
    started = m_starter.start(updater, {m_paths.UpdateURL, m_paths.ProgramFileName, m_paths.ExecutableName});
    reason = started.reason;
  }
  if (started.ok) return true;
  // A file that cannot be started is fetched anew by the next check.
  std::remove(updater.c_str());
  m_messages.showError(formatPlain(kUpdaterFailedText, {kProductName, reason}));
  return false;
}

bool UpdateCheck::provideUpdater(const std::string& updater) {
  if (nonEmptyFile(updater)) return true;
  const std::shared_ptr<bool> alive = m_alive;
  const std::string updaterURL = m_paths.UpdaterURL + m_paths.UpdaterFileName;
  // Fetched under another name first, so that an interrupted download is never taken for the updater.
  const std::string partial = updater + ".part";
  const bool fetched = m_downloader.download(updaterURL, partial, kMaxUpdaterSize);
  if (!*alive) return false;
  if (fetched && nonEmptyFile(partial) && std::rename(partial.c_str(), updater.c_str()) == 0) return true;
  std::remove(partial.c_str());
  m_messages.showError(formatPlain(kNoUpdaterText, {kProductName, updaterURL}));
  return false;
}

}  // namespace ormel
