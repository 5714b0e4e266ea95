#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace ormel {

/// The folder for this user's one-instance lock and socket, with its trailing "/":
/// $XDG_RUNTIME_DIR when it names a folder, else the temporary folder ($TMPDIR when it names a
/// folder, else /tmp). Never the data folder, so that a later instance changes nothing there.
[[nodiscard]] std::string instanceRuntimeFolder();

/// What became of an attempt to hold an instance lock.
enum class InstanceLock {
  held,           ///< this process holds it, until it ends
  heldElsewhere,  ///< another process holds it
  unavailable,    ///< the lock file cannot be used (missing folder, another user's file, ...)
};

/// Takes the lock on the file at path (created with mode 0600 when missing) unless another
/// process holds it. Once taken it stays with this process until the process ends, however often
/// this is asked; the system drops it when the process ends in any way, so a crash leaves no
/// stale lock. A symlink, or a file that is not a regular file of this user, is not used.
/// Never throws.
[[nodiscard]] InstanceLock holdInstanceLock(const std::string& path);

/// Listens on a local stream socket at path, replacing whatever socket file an ended process left
/// there: call it only while holding the lock that guards path. The descriptor is non-blocking and
/// closed on exec; -1 when the socket cannot be made (a path too long, a file of another user).
[[nodiscard]] int listenForInstances(const std::string& path);

/// Accepts one pending connection, non-blocking and closed on exec. -1 when none is pending; a
/// peer of another user is refused (closed) and -1 returned too.
[[nodiscard]] int acceptInstance(int listener);

/// What a knock on a running instance's socket brought.
enum class Knock {
  answered,     ///< the request was taken and a line came back
  silent,       ///< connected and sent, but no line came back in time
  nobodyThere,  ///< nothing of this user listens at the path (no file, refused, queue full)
};

/// Connects to the socket at path, sends request and waits up to timeout for a line back.
[[nodiscard]] Knock knockOnInstance(const std::string& path, std::string_view request,
                                    std::chrono::milliseconds timeout);

/// Decides whether this process is the first instance: true when another process holds the lock
/// at lockPath; that process is then sent request on socketPath. The holder may still be starting
/// (it listens once its window shows) or ending (it stops listening before its last saves): this
/// waits up to patience for it to listen or to end; when it ends first, its lock is taken and the
/// answer is false. A holder that never listens still counts as running. Without a usable lock,
/// only a listener that answers the knock counts. Never throws.
[[nodiscard]] bool findRunningInstance(const std::string& lockPath, const std::string& socketPath,
                                       std::string_view request, std::chrono::milliseconds patience);

}  // namespace ormel
