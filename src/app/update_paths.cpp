#include "app/update_paths.h"

#include <unistd.h>

#include <array>

namespace ormel {

std::string updateServerHost() { return ORMEL_UPDATE_HOST; }

std::string updateServerAddress() { return "http://" + updateServerHost(); }

UpdatePaths makeUpdatePaths(std::string dataDir, const std::string& serverAddress) {
  if (!dataDir.empty() && dataDir.back() != '/') dataDir += '/';
  UpdatePaths paths;
  paths.DataDir = std::move(dataDir);
  paths.UpdateURL = serverAddress + "/ormelWare/files/ormelCalc/";
  paths.UpdaterURL = serverAddress + "/ormelWare/files/ormelUpdater/";
  paths.ExecutableName = runningExecutableName();
  return paths;
}

std::string runningExecutableName() {
  std::array<char, 4096> buffer{};
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return "ormelcalc";
  const std::string path(buffer.data(), static_cast<std::size_t>(length));
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.empty() ? "ormelcalc" : name;
}

}  // namespace ormel
