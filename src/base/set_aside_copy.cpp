#include "base/set_aside_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/text.h"

namespace ormel {
namespace {

constexpr int kMaxNamesPerSecond = 99;

std::string baseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

/// Creates the copy under a name nobody has taken; false with errno set when that fails.
bool createCopy(const std::string& stem, std::string_view bytes, std::string& copyPath) {
  for (int number = 1; number <= kMaxNamesPerSecond; ++number) {
    // Zero-padded, so that the copies sort by name in the order they were made.
    char suffix[8] = "";
    if (number > 1) std::snprintf(suffix, sizeof suffix, "-%02d", number);
    const std::string candidate = stem + suffix;
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (!writeToDescriptor(fd, bytes) || ::fsync(fd) != 0) {
      const int error = errno;
      ::close(fd);
      ::unlink(candidate.c_str());
      errno = error;
      return false;
    }
    if (::close(fd) != 0) {
      const int error = errno;
      ::unlink(candidate.c_str());
      errno = error;
      return false;
    }
    copyPath = candidate;
    return true;
  }
  errno = EEXIST;
  return false;
}

void removeOldCopies(const std::string& path) {
  const std::string folder = folderOf(path);
  const std::string prefix = baseName(path) + ".bad-";
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> copies;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::string_view(entry->d_name).starts_with(prefix)) copies.emplace_back(entry->d_name);
  }
  std::sort(copies.begin(), copies.end());
  for (std::size_t i = 0; i + kSetAsideCopiesKept < copies.size(); ++i) {
    ::unlinkat(::dirfd(dir), copies[i].c_str(), 0);
  }
  ::closedir(dir);
}

}  // namespace

FileResult keepSetAsideCopy(const std::string& path, std::string_view bytes, std::string& copyPath,
                            std::time_t now) {
  copyPath.clear();
  std::tm local{};
  ::localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  if (!createCopy(path + ".bad-" + stamp, bytes, copyPath)) {
    const int error = errno;
    return FileResult{false, std::strerror(error), error};
  }
  removeOldCopies(path);
  return {};
}

SetAside setAsideUnusableFile(const std::string& path, std::string_view bytes,
                              const std::vector<std::string>& notes) {
  constexpr std::size_t kNotesNamed = 3;
  const std::string what = firstOf(notes, kNotesNamed, "; ");
  std::string message = "\"" + path + "\" could not be read in full (" + what + ").";
  std::string copy;
  const FileResult kept = keepSetAsideCopy(path, bytes, copy);
  if (kept.ok) return {message + " It has been kept as \"" + copy + "\".", true, {}};
  return {
      message + " No copy of it could be made (" + kept.reason + "), so it is left as it is and not saved.",
      false, kept.reason};
}

}  // namespace ormel
