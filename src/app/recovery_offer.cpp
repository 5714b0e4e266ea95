#include "app/recovery_offer.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "base/atomic_file.h"
#include "base/process_liveness.h"
#include "base/text.h"
#include "config/store_support.h"

namespace ormel {
namespace {

constexpr std::string_view kPadStem = "workspace.dat.recovery-";
constexpr std::string_view kVarsStem = "vars.xml.recovery-";

/// The process id of a recovery file's name with the given stem; 0 when the name is another.
long pidOf(std::string_view name, std::string_view stem) {
  if (!name.starts_with(stem) || name.size() == stem.size() || name.size() - stem.size() > 18) return 0;
  long pid = 0;
  for (const char digit : name.substr(stem.size())) {
    if (digit < '0' || digit > '9') return 0;
    pid = pid * 10 + (digit - '0');
  }
  return pid;
}

std::string localTime(std::time_t time, const char* format) {
  std::tm parts{};
  localtime_r(&time, &parts);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &parts));
}

void setAside(const std::string& path, const std::string& suffix) {
  if (path.empty()) return;
  std::string target = path + suffix;
  for (int n = 2; fileExists(target) && n < 1000; ++n) target = path + suffix + "-" + std::to_string(n);
  std::rename(path.c_str(), target.c_str());
}

void restore(const RecoveryFiles& files, const RecoveryTarget& target) {
  if (!files.pad.empty()) target.pad.loadContent(files.pad);
  if (!files.vars.empty()) {
    target.parser.ClearVariables();
    // The list shows what was read even when an entry further on is refused.
    LoadNotes notes;
    try {
      target.variables.Load(files.vars, &notes);
    } catch (...) {
      target.variables.UpdateVariableListBox();
      throw;
    }
    target.variables.UpdateVariableListBox();
    // Entries that were skipped make the copy one to keep aside, not one to take over.
    if (!notes.empty()) {
      constexpr std::size_t kNotesNamed = 3;
      throw std::runtime_error(firstOf(notes, kNotesNamed, "\n"));
    }
  }
}

}  // namespace

std::vector<LeftRecovery> findLeftRecoveries(const std::string& dataDir, long ownPid) {
  std::map<long, LeftRecovery> found;
  DIR* folder = ::opendir(dataDir.c_str());
  if (folder == nullptr) return {};
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view name = entry->d_name;
    const long padPid = pidOf(name, kPadStem);
    const long pid = padPid != 0 ? padPid : pidOf(name, kVarsStem);
    if (pid == 0 || (pid != ownPid && processIsRunning(pid))) continue;
    const std::string path = dataDir + std::string(name);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    LeftRecovery& left = found[pid];
    left.pid = pid;
    (padPid != 0 ? left.files.pad : left.files.vars) = path;
    left.written = std::max(left.written, info.st_mtime);
  }
  ::closedir(folder);
  std::vector<LeftRecovery> sets;
  for (auto& [pid, left] : found) sets.push_back(std::move(left));
  std::stable_sort(sets.begin(), sets.end(),
                   [](const LeftRecovery& a, const LeftRecovery& b) { return a.written > b.written; });
  return sets;
}

std::string restoreQuestion(std::time_t written) {
  return "ormelCalc did not close normally. Restore the scratch pad and variables from " +
         localTime(written, "%Y-%m-%d %H:%M:%S") + "?";
}

void setRecoveryAside(const RecoveryFiles& files, std::time_t now) {
  const std::string suffix = ".recovered-" + localTime(now, "%Y%m%d-%H%M%S");
  setAside(files.pad, suffix);
  setAside(files.vars, suffix);
}

std::optional<RecoveryFiles> offerLeftRecovery(const std::string& dataDir, long ownPid,
                                               const RecoveryTarget& target) {
  const std::vector<LeftRecovery> sets = findLeftRecoveries(dataDir, ownPid);
  if (sets.empty()) return std::nullopt;
  const std::time_t now = std::time(nullptr);
  for (std::size_t n = 1; n < sets.size(); ++n) setRecoveryAside(sets[n].files, now);
  const LeftRecovery& newest = sets.front();
  if (!target.messages.askYesNo(restoreQuestion(newest.written))) {
    setRecoveryAside(newest.files, now);
    return std::nullopt;
  }
  try {
    restore(newest.files, target);
  } catch (const std::exception& error) {
    setRecoveryAside(newest.files, now);
    target.messages.showError(std::string("ormelCalc could not read all of its recovery copy:\n") +
                              error.what() +
                              "\nThe recovery files have been kept beside it as \"*.recovered-*\".");
    return std::nullopt;
  }
  return newest.files;
}

}  // namespace ormel
