#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "app/recovery_copy.h"
#include "base/message_box_port.h"
#include "engine/parser.h"
#include "scratchpad/savevars.h"
#include "scratchpad/text_control_port.h"

namespace ormel {

/// The recovery files that an instance which no longer runs left behind.
struct LeftRecovery {
  long pid = 0;
  /// Only the files that exist; the other path is empty.
  RecoveryFiles files;
  /// When the newer of the two was last written.
  std::time_t written = 0;
};

/// The recovery files in dataDir of processes that no longer run, the newest first. Files of
/// ownPid count as left behind: this instance has written none yet, so a process that used the
/// same id before wrote them.
[[nodiscard]] std::vector<LeftRecovery> findLeftRecoveries(const std::string& dataDir, long ownPid);

/// "ormelCalc did not close normally. Restore the scratch pad and variables from <date time>?"
[[nodiscard]] std::string restoreQuestion(std::time_t written);

/// Moves the files aside as "<name>.recovered-<time>" (local time, YYYYMMDD-HHMMSS, a number
/// added when that name is taken), so that a later start no longer offers them.
void setRecoveryAside(const RecoveryFiles& files, std::time_t now);

/// What a start needs to restore a left recovery copy.
struct RecoveryTarget {
  MessageBox& messages;
  TextControl& pad;
  TCustomParser& parser;
  TSavedVariables& variables;
};

/// At start: when instances that no longer run left recovery files, asks once about the newest.
/// Yes replaces the pad and the variables table by them; an error while reading them is
/// reported and the files are set aside. No keeps the start as it is and sets the files aside.
/// Older sets are set aside either way. Returns the files restored from, which this instance's
/// recovery copy takes over (RecoveryCopy::adopt); none when nothing was restored.
[[nodiscard]] std::optional<RecoveryFiles> offerLeftRecovery(const std::string& dataDir, long ownPid,
                                                             const RecoveryTarget& target);

}  // namespace ormel
