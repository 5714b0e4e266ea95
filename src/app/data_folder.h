#pragma once

#include <string>

namespace ormel {

/// The folder where the data files live, and what became of the search for it.
struct DataFolder {
  /// The folder's path with its trailing "/".
  std::string path;
  /// True when a file can be written there.
  bool writable = false;
  /// Why it cannot be written (the system's reason), when it cannot.
  std::string reason;
};

/// The folder of the running executable, with its trailing "/"; empty when the system does not
/// tell.
[[nodiscard]] std::string executableFolder();

/// The per-user data home: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share,
/// with its trailing "/"; empty when the user has no home.
[[nodiscard]] std::string userDataHome();

/// Chooses the data folder: "data" in programFolder, created when missing, as long as a file
/// can be written there; otherwise (a system-wide install) "ormelcalc/data" in userDataHome,
/// created with its parents. When neither can be written, the folder beside the program is
/// named, with writable false and the reason. Never throws.
[[nodiscard]] DataFolder chooseDataFolder(const std::string& programFolder, const std::string& userDataHome);

}  // namespace ormel
