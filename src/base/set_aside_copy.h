#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "base/atomic_file.h"

namespace ormel {

/// How many set-aside copies of one file are kept; older ones are removed.
inline constexpr int kSetAsideCopiesKept = 10;

/// Keeps bytes, the content of a data file that could not be used, beside it as
/// "<path>.bad-<YYYYMMDD-HHMMSS>" (local time of now; "-2", "-3", ... when that name is taken),
/// never over an earlier copy, and removes the oldest copies beyond kSetAsideCopiesKept. On
/// success copyPath names the copy. Never throws.
[[nodiscard]] FileResult keepSetAsideCopy(const std::string& path, std::string_view bytes,
                                          std::string& copyPath, std::time_t now = std::time(nullptr));

/// A data file that could not be used in full, kept aside before anything is written over it.
struct SetAside {
  /// For the user: the file, what was wrong with it and where the copy is (or why none could be
  /// made).
  std::string message;
  /// False when no copy could be made: the file must then not be written over.
  bool kept = false;
  /// Why no copy could be made (the system's reason); empty when it was kept.
  std::string reason;
};

/// Keeps the copy (keepSetAsideCopy) of the file whose bytes were read, noting what was wrong
/// with it (the first few notes are named, the rest counted).
[[nodiscard]] SetAside setAsideUnusableFile(const std::string& path, std::string_view bytes,
                                            const std::vector<std::string>& notes);

}  // namespace ormel
