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

/// The address of the maker's web server: "http://" and updateServerHost().
[[nodiscard]] std::string updateServerAddress();

/// The paths for dataDir (a trailing "/" is added when missing) with the folders on the web server
/// at serverAddress ("http://host[:port]", no trailing "/") and the running executable's name.
[[nodiscard]] UpdatePaths makeUpdatePaths(std::string dataDir,
                                          const std::string& serverAddress = updateServerAddress());

/// The file name, without its folder, of the running executable; "ormelcalc" when the system
/// does not tell.
[[nodiscard]] std::string runningExecutableName();

}  // namespace ormel
