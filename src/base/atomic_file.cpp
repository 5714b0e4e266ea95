#include "atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "base/process_liveness.h"

namespace ormel {

namespace {

constexpr const char* kTemporaryPrefix = ".ormel-";
constexpr const char* kTemporarySuffix = ".tmp";
// Links to links to links: as many as the system itself follows.
constexpr int kMaxLinkDepth = 40;

FileResult failure(int error) { return FileResult{false, std::strerror(error), error}; }

/// Where a write to path lands: path itself, or the file its chain of symbolic links ends at
/// (which need not exist yet).
std::string writeTarget(std::string path) {
  for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096), '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0) return path;
    target.resize(static_cast<std::size_t>(length));
    path = target.front() == '/' ? target : folderOf(path) + "/" + target;
  }
  return path;
}

/// The process id in a temporary file's name ".ormel-<pid>-<n>.tmp"; 0 when it is none.
long temporaryFileOwner(std::string_view name) {
  const std::string_view prefix = kTemporaryPrefix;
  const std::string_view suffix = kTemporarySuffix;
  if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix)) {
    return 0;
  }
  name = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size() || dash > 18) return 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (i != dash && (name[i] < '0' || name[i] > '9')) return 0;
  }
  return std::stol(std::string(name.substr(0, dash)));
}

}  // namespace

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool writeToDescriptor(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

FileResult writeFileAtomically(const std::string& path, std::string_view content) {
  if (path.empty()) return failure(ENOENT);
  // Renaming over a link would replace the link and leave its target behind, no longer updated.
  const std::string target = writeTarget(path);
  static std::atomic<unsigned> counter{0};
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folderOf(target) + "/" + kTemporaryPrefix + std::to_string(::getpid()) + "-" +
                std::to_string(counter.fetch_add(1)) + kTemporarySuffix;
    // A fixed mode rather than the old file's: a file that was made unreadable must not hand
    // that on to every later save.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) return failure(errno);
  }
  if (fd < 0) return failure(EEXIST);

  if (!writeToDescriptor(fd, content) || ::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    return failure(error);
  }
  if (::close(fd) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return failure(error);
  }
  return {};
}

FileResult readWholeFile(const std::string& path, std::string& content, std::size_t limit) {
  content.clear();
  // Without O_NONBLOCK a FIFO in place of the file would block the open until a writer comes.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return failure(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return FileResult{false, S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "Not a regular file",
                      kNotRegularFile};
  }
  if (static_cast<std::size_t>(info.st_size) > limit) {
    ::close(fd);
    return FileResult{false, "Larger than " + std::to_string(limit >> 20) + " MB", EFBIG};
  }
  content.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      content.clear();
      return failure(error);
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
    // A file that grows while it is read is held to the same limit.
    if (content.size() > limit) {
      ::close(fd);
      content.clear();
      return FileResult{false, "Larger than " + std::to_string(limit >> 20) + " MB", EFBIG};
    }
  }
  ::close(fd);
  return {};
}

std::size_t removeStaleTemporaryFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return 0;
  std::size_t removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const long owner = temporaryFileOwner(entry->d_name);
    if (owner <= 0 || owner == ::getpid() || processIsRunning(owner)) continue;
    if (::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

std::size_t removeStaleTemporaryFilesBeside(const std::string& path) {
  return removeStaleTemporaryFiles(folderOf(writeTarget(path)));
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace ormel
