#pragma once

namespace ormel {

/// Scheduling priority of a worker thread, from lowest to highest.
enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

/// Gives the calling thread the priority: tpIdle is the idle scheduling class, the others are
/// nice levels around the thread's current one. Raising a priority needs privileges the program
/// usually lacks; false then, and the thread keeps its priority. Never throws.
bool applyThreadPriority(TThreadPriority priority);

}  // namespace ormel
