#pragma once

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

namespace ormel {

/// Outcome of a file operation; reason is the system's text (strerror) and error its errno
/// value when it failed.
struct FileResult {
  bool ok = true;
  std::string reason;
  int error = 0;
};

/// The most a settings file (XML, INI) is read to; the workspace and sheets may be larger.
inline constexpr std::size_t kSettingsFileLimit = std::size_t{16} << 20;
inline constexpr std::size_t kContentFileLimit = std::size_t{64} << 20;
/// The error a read reports for a FIFO, device, socket or folder in place of a file.
inline constexpr int kNotRegularFile = EINVAL;

/// Writes content to path as a whole: a temporary file in the same folder is written, flushed
/// and renamed over the old file, so a crash or a full disk never leaves a half-written or
/// emptied file. A path that is a symbolic link is written at the link's target, so the link
/// stays. The new file gets mode 0644 less the umask, whatever the old one had. On failure the
/// old file is untouched and the temporary file removed.
[[nodiscard]] FileResult writeFileAtomically(const std::string& path, std::string_view content);

/// Reads the whole file into content (bytes as they are). The file is opened without blocking
/// and must be a regular file (else error kNotRegularFile); one larger than limit is not read
/// (error EFBIG, the reason says the limit).
[[nodiscard]] FileResult readWholeFile(const std::string& path, std::string& content,
                                       std::size_t limit = kSettingsFileLimit);

/// Removes the temporary files that writeFileAtomically left in folder when its process was
/// killed, as long as that process no longer runs. Returns how many were removed; never throws.
std::size_t removeStaleTemporaryFiles(const std::string& folder);
/// The same for the folder a write to path lands in: that of the file its symbolic links end at.
std::size_t removeStaleTemporaryFilesBeside(const std::string& path);

/// Writes all of data to the open file descriptor fd, going on after interruptions and partial
/// writes. False (errno tells why) when a write fails.
[[nodiscard]] bool writeToDescriptor(int fd, std::string_view data);

/// True when path names an existing file or folder.
[[nodiscard]] bool fileExists(const std::string& path);

/// The folder part of path ("." when it has none, "/" for the root).
[[nodiscard]] std::string folderOf(const std::string& path);

}  // namespace ormel
