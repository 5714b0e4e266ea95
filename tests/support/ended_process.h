#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ormel::testing_support {

/// The id of a process that has ended (and been reaped), for files that name their writer.
inline pid_t endedProcessId() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  if (child > 0) ::waitpid(child, nullptr, 0);
  return child;
}

}  // namespace ormel::testing_support
