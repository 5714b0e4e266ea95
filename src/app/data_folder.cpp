#include "app/data_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace ormel {
namespace {

std::string withSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path;
}

/// Empty when a file can be written in folder, else the reason.
std::string writeProblem(const std::string& folder) {
  std::string probe = folder + ".ormelcalc-probe-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  ::unlink(probe.c_str());
  return {};
}

/// Creates folder and its missing parents; empty when it exists afterwards, else the reason.
std::string makeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return std::strerror(errno);
  }
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return std::strerror(errno);
  if (!S_ISDIR(info.st_mode)) return std::strerror(ENOTDIR);
  return {};
}

DataFolder tryFolder(const std::string& folder) {
  DataFolder result{folder, false, makeFolders(folder), {}, {}};
  if (result.reason.empty()) result.reason = writeProblem(folder);
  result.writable = result.reason.empty();
  return result;
}

}  // namespace

std::string executableFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  const std::string path(buffer, static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
}

std::string userDataHome() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') return withSlash(xdg);
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    const passwd* user = ::getpwuid(::getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || home[0] == '\0') return {};
  return withSlash(home) + ".local/share/";
}

DataFolderPlaces dataFolderPlaces(const std::string& programFolder, const std::string& userDataHome) {
  return {withSlash(programFolder) + "data/",
          userDataHome.empty() ? std::string() : withSlash(userDataHome) + "ormelcalc/data/"};
}

std::string dataFileToRead(const DataFolderPlaces& places, const std::string& name) {
  const std::string beside = places.beside + name;
  // The effective permissions, as a write would meet them.
  if (places.perUser.empty() || ::faccessat(AT_FDCWD, places.beside.c_str(), W_OK, AT_EACCESS) == 0)
    return beside;
  const std::string perUser = places.perUser + name;
  return ::access(perUser.c_str(), F_OK) == 0 ? perUser : beside;
}

DataFolder chooseDataFolder(const std::string& programFolder, const std::string& userDataHome) {
  const DataFolderPlaces places = dataFolderPlaces(programFolder, userDataHome);
  DataFolder beside = tryFolder(places.beside);
  if (beside.writable || places.perUser.empty()) return beside;
  DataFolder perUser = tryFolder(places.perUser);
  if (!perUser.writable) return beside;
  struct stat info {};
  if (::stat(places.beside.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    perUser.bypassed = places.beside;
    perUser.bypassedReason = beside.reason;
  }
  return perUser;
}

}  // namespace ormel
