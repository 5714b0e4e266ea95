#include "app/process_starter.h"

#include <spawn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace ormel {

StartResult PosixSpawnStarter::start(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 2);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  // The window system's and the network's descriptors are none of the child's business.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return {false, std::strerror(error), 0};
  return {true, {}, pid};
}

bool makeExecutable(const std::string& path, std::string& reason) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  const mode_t mode = status.st_mode & 07777;
  // Execute permission goes to each class that has read permission.
  const mode_t executable = mode | ((mode & 0444) >> 2);
  if (executable != mode && ::chmod(path.c_str(), executable) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace ormel
