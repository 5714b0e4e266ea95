#pragma once

#include <string>

namespace ormel {

/// Where the update check fetches the version file and the updater from and where it keeps them.
struct UpdatePaths {
  std::string DataDir;                               ///< the data folder, ending with "/"
  std::string UpdateURL;                             ///< the version file's folder address, ending with "/"
  std::string UpdateFileName = "ormelCalc2.upd";     ///< the version file, there and in DataDir
  std::string ProgramFileName = "ormelCalc2.exe";    ///< the program the updater fetches
  std::string UpdaterURL;                            ///< the updater's folder address, ending with "/"
  std::string UpdaterFileName = "ormelUpdater.exe";  ///< the updater, there and in DataDir
  std::string ExecutableName;                        ///< the running executable's file name, no folder
};

/// The host name of the maker's web server, as the build was configured.
[[nodiscard]] std::string updateServerHost();

/// The paths for dataDir (a trailing "/" is added when missing) with the folders on the maker's
/// web server and the running executable's name.
[[nodiscard]] UpdatePaths makeUpdatePaths(std::string dataDir);

/// The file name, without its folder, of the running executable; "ormelcalc" when the system
/// does not tell.
[[nodiscard]] std::string runningExecutableName();

}  // namespace ormel
