#include "base/instance_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace ormel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kAnswerTimeout{1000};
constexpr std::chrono::milliseconds kRetryPause{20};

std::string folderNamedBy(const char* variable) {
  const char* value = std::getenv(variable);
  struct stat info {};
  if (value == nullptr || value[0] != '/' || ::stat(value, &info) != 0 || !S_ISDIR(info.st_mode)) return {};
  std::string folder = value;
  if (folder.back() != '/') folder.push_back('/');
  return folder;
}

std::optional<sockaddr_un> socketAddress(const std::string& path) {
  sockaddr_un address{};
  // The path and its terminating zero must fit.
  if (path.empty() || path.size() >= sizeof address.sun_path) return std::nullopt;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

bool peerIsThisUser(int fd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
         credentials.uid == ::geteuid();
}

int remainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for events on fd until the deadline; false when it passed first.
bool waitFor(int fd, short events, Clock::time_point deadline) {
  pollfd entry{fd, events, 0};
  for (;;) {
    const int ready = ::poll(&entry, 1, remainingMs(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

bool sendAll(int fd, std::string_view bytes, Clock::time_point deadline) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else if (sent < 0 && errno == EAGAIN && waitFor(fd, POLLOUT, deadline)) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

bool receiveLine(int fd, Clock::time_point deadline) {
  char buffer[64];
  while (waitFor(fd, POLLIN, deadline)) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got > 0 && std::memchr(buffer, '\n', static_cast<std::size_t>(got)) != nullptr) return true;
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) return false;
  }
  return false;
}

}  // namespace

std::string instanceRuntimeFolder() {
  // The runtime folder is private to the user and emptied at log-out.
  if (std::string runtime = folderNamedBy("XDG_RUNTIME_DIR"); !runtime.empty()) return runtime;
  if (std::string temporary = folderNamedBy("TMPDIR"); !temporary.empty()) return temporary;
  return "/tmp/";
}

InstanceLock holdInstanceLock(const std::string& path) {
  // A lock belongs to one open file: a second descriptor of this process would conflict with the
  // first, so each lock taken is kept here for the rest of the process.
  static std::mutex mutex;
  static std::map<std::string, int> held;
  const std::lock_guard guard(mutex);
  if (held.contains(path)) return InstanceLock::held;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) return InstanceLock::unavailable;
  struct stat info {};
  // In a shared temporary folder, another user could have put a file of theirs in the way.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
    ::close(fd);
    return InstanceLock::unavailable;
  }
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    held.emplace(path, fd);
    return InstanceLock::held;
  }
  const bool elsewhere = errno == EWOULDBLOCK;
  ::close(fd);
  return elsewhere ? InstanceLock::heldElsewhere : InstanceLock::unavailable;
}

int listenForInstances(const std::string& path) {
  const std::optional<sockaddr_un> address = socketAddress(path);
  if (!address) return -1;
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    // Only a socket of this user is what an ended instance leaves; anything else stays.
    if (!S_ISSOCK(info.st_mode) || info.st_uid != ::geteuid() || ::unlink(path.c_str()) != 0) return -1;
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
      ::listen(fd, SOMAXCONN) != 0) {
    ::close(fd);
    return -1;
  }
  // The runtime folder is the user's alone; in a shared temporary folder the mode keeps others out.
  ::chmod(path.c_str(), 0600);
  return fd;
}

int acceptInstance(int listener) {
  int fd;
  do {
    fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  if (!peerIsThisUser(fd)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

Knock knockOnInstance(const std::string& path, std::string_view request, std::chrono::milliseconds timeout) {
  const std::optional<sockaddr_un> address = socketAddress(path);
  if (!address) return Knock::nobodyThere;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return Knock::nobodyThere;
  const Clock::time_point deadline = Clock::now() + timeout;
  Knock knock = Knock::nobodyThere;
  // A local connect completes at once or fails at once; a full queue fails with EAGAIN.
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
      peerIsThisUser(fd)) {
    knock = sendAll(fd, request, deadline) && receiveLine(fd, deadline) ? Knock::answered : Knock::silent;
  }
  ::close(fd);
  return knock;
}

bool findRunningInstance(const std::string& lockPath, const std::string& socketPath, std::string_view request,
                         std::chrono::milliseconds patience) {
  const Clock::time_point deadline = Clock::now() + patience;
  for (;;) {
    switch (holdInstanceLock(lockPath)) {
      case InstanceLock::held:
        return false;
      case InstanceLock::unavailable:
        return knockOnInstance(socketPath, request, kAnswerTimeout) != Knock::nobodyThere;
      case InstanceLock::heldElsewhere:
        break;
    }
    if (knockOnInstance(socketPath, request, kAnswerTimeout) != Knock::nobodyThere) return true;
    // The holder lives (the system would have dropped its lock), so it runs even if it never listens.
    if (Clock::now() >= deadline) return true;
    std::this_thread::sleep_for(kRetryPause);
  }
}

}  // namespace ormel
