#pragma once

namespace ormel {

/// True while a process with this id exists (also when it belongs to another user, so a file
/// it owns is never taken for a leftover). Ids of zero or below name no single process: false.
[[nodiscard]] bool processIsRunning(long pid);

}  // namespace ormel
