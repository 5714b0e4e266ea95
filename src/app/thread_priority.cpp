#include "app/thread_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ormel {

namespace {

int niceOffset(TThreadPriority priority) {
  switch (priority) {
    case TThreadPriority::tpLowest:
      return 10;
    case TThreadPriority::tpLower:
      return 5;
    case TThreadPriority::tpHigher:
      return -5;
    case TThreadPriority::tpHighest:
      return -10;
    case TThreadPriority::tpTimeCritical:
      return -20;
    case TThreadPriority::tpIdle:
    case TThreadPriority::tpNormal:
      break;
  }
  return 0;
}

}  // namespace

bool applyThreadPriority(TThreadPriority priority) {
  if (priority == TThreadPriority::tpIdle) {
    sched_param param{};
    return pthread_setschedparam(pthread_self(), SCHED_IDLE, &param) == 0;
  }
  const int offset = niceOffset(priority);
  if (offset == 0) return true;
  // On Linux a nice level set for a thread id applies to that thread alone.
  const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
  errno = 0;
  const int current = ::getpriority(PRIO_PROCESS, thread);
  if (current == -1 && errno != 0) return false;
  return ::setpriority(PRIO_PROCESS, thread, std::clamp(current + offset, -20, 19)) == 0;
}

}  // namespace ormel
