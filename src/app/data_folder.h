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
  /// The folder beside the program when it exists but cannot be written, so that the per-user
  /// folder is written instead; empty otherwise.
  std::string bypassed;
  std::string bypassedReason;
};

/// The two folders the data files may live in, each with its trailing "/": "data" beside the
/// program and "ormelcalc/data" in the per-user data home (empty when the user has none).
struct DataFolderPlaces {
  std::string beside;
  std::string perUser;
};

[[nodiscard]] DataFolderPlaces dataFolderPlaces(const std::string& programFolder,
                                                const std::string& userDataHome);

/// Where the data file name is read from, deciding nothing and writing nothing: the per-user
/// folder's copy when the folder beside the program may not be written (by its permissions)
/// and the per-user one holds the file, for that is where changes went; else the one beside.
[[nodiscard]] std::string dataFileToRead(const DataFolderPlaces& places, const std::string& name);

/// The folder of the running executable, with its trailing "/"; empty when the system does not
/// tell.
[[nodiscard]] std::string executableFolder();

/// The per-user data home: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share,
/// with its trailing "/"; empty when the user has no home.
[[nodiscard]] std::string userDataHome();

/// Chooses the data folder to write: "data" in programFolder, created when missing, as long as
/// a file can be written there (a probe file is made and removed); otherwise (a system-wide
/// install, a read-only folder) "ormelcalc/data" in userDataHome, created with its parents. When
/// neither can be written, the folder beside the program is named, with writable false and the
/// reason. Never throws.
[[nodiscard]] DataFolder chooseDataFolder(const std::string& programFolder, const std::string& userDataHome);

}  // namespace ormel
