#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace ormel {

/// Outcome of starting a program; reason is the system's text when it failed.
struct StartResult {
  bool ok = false;
  std::string reason;
  pid_t pid = 0;  ///< the started process, when ok
};

/// Starts programs, so that logic can do it without starting real ones in tests.
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  /// Starts program with arguments (each one argument as it is, no shell) and does not wait.
  virtual StartResult start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

/// Starts programs with posix_spawn in a session of their own, so that they live on when this
/// program ends; they inherit no open files besides the standard three. A program that cannot be
/// executed is a failure, not a started process.
class PosixSpawnStarter final : public ProcessStarter {
 public:
  StartResult start(const std::string& program, const std::vector<std::string>& arguments) override;
};

/// Lets everyone who may read the file execute it. False with the system's reason on failure;
/// never throws.
bool makeExecutable(const std::string& path, std::string& reason);

}  // namespace ormel
