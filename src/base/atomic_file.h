#pragma once

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

/// Writes content to path as a whole: a temporary file in the same folder is written, flushed
/// and renamed over the old file, so a crash or a full disk never leaves a half-written or
/// emptied file. On failure the old file is untouched and the temporary file removed.
[[nodiscard]] FileResult writeFileAtomically(const std::string& path, std::string_view content);

/// Reads the whole file into content (bytes as they are).
[[nodiscard]] FileResult readWholeFile(const std::string& path, std::string& content);

/// Writes all of data to the open file descriptor fd, going on after interruptions and partial
/// writes. False (errno tells why) when a write fails.
[[nodiscard]] bool writeToDescriptor(int fd, std::string_view data);

/// True when path names an existing file or folder.
[[nodiscard]] bool fileExists(const std::string& path);

}  // namespace ormel
