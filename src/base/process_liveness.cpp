#include "process_liveness.h"

#include <signal.h>
#include <sys/types.h>

#include <cerrno>

namespace ormel {

bool processIsRunning(long pid) {
  if (pid <= 0 || static_cast<long>(static_cast<pid_t>(pid)) != pid) return false;
  // Signal 0 only checks: EPERM means it exists but is not ours to signal.
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace ormel
