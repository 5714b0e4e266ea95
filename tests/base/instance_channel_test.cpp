#include "base/instance_channel.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

namespace ormel {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class InstanceChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = "ormel-instance-" + std::to_string(::getpid()) + "-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    m_dir = fs::temp_directory_path() / name;
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  [[nodiscard]] std::string path(const std::string& name) const { return (m_dir / name).string(); }

  fs::path m_dir;
};

/// A process of its own that holds the lock at path until it ends after holdFor; returns when
/// it holds it.
class LockHolder {
 public:
  LockHolder(const std::string& path, std::chrono::milliseconds holdFor) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    m_pid = ::fork();
    if (m_pid == 0) {
      // Only system calls here: the parent may have threads.
      const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
      if (fd < 0 || ::flock(fd, LOCK_EX) != 0) ::_exit(1);
      ::write(ready[1], "x", 1);
      ::usleep(static_cast<useconds_t>(holdFor.count() * 1000));
      ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
  }
  ~LockHolder() { ::waitpid(m_pid, nullptr, 0); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

 private:
  pid_t m_pid = -1;
};

/// Sets or clears an environment variable for the life of the object.
class EnvironmentSetting {
 public:
  EnvironmentSetting(const char* name, const std::optional<std::string>& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~EnvironmentSetting() {
    if (m_old) {
      ::setenv(m_name, m_old->c_str(), 1);
    } else {
      ::unsetenv(m_name);
    }
  }
  EnvironmentSetting(const EnvironmentSetting&) = delete;
  EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST_F(InstanceChannelTest, RuntimeFolderIsTheUsersRuntimeFolderElseTheTemporaryOne) {
  fs::create_directories(m_dir / "runtime");
  fs::create_directories(m_dir / "temp");
  std::ofstream(path("a-file")) << "x";
  const std::string runtime = path("runtime");
  const std::string temp = path("temp");
  struct Row {
    const char* name;
    std::optional<std::string> runtimeDir;
    std::optional<std::string> tmpDir;
    std::string expected;
  };
  const Row rows[] = {
      {"runtime folder", runtime, temp, runtime + "/"},
      {"runtime folder with its slash", runtime + "/", std::nullopt, runtime + "/"},
      {"no runtime folder", std::nullopt, temp, temp + "/"},
      {"runtime folder missing", path("gone"), temp, temp + "/"},
      {"runtime folder is a file", path("a-file"), temp, temp + "/"},
      {"runtime folder relative", "runtime", temp, temp + "/"},
      {"neither", std::nullopt, std::nullopt, "/tmp/"},
      {"temporary folder missing", std::nullopt, path("gone"), "/tmp/"},
  };
  for (const Row& row : rows) {
    const EnvironmentSetting runtimeSetting("XDG_RUNTIME_DIR", row.runtimeDir);
    const EnvironmentSetting tmpSetting("TMPDIR", row.tmpDir);
    EXPECT_EQ(instanceRuntimeFolder(), row.expected) << row.name;
  }
}

TEST_F(InstanceChannelTest, LockIsHeldByOneProcessOnly) {
  const std::string lock = path("one.lock");
  {
    const LockHolder other(lock, 300ms);
    EXPECT_EQ(holdInstanceLock(lock), InstanceLock::heldElsewhere);
  }
  EXPECT_EQ(holdInstanceLock(lock), InstanceLock::held);
  EXPECT_EQ(holdInstanceLock(lock), InstanceLock::held) << "asked again by its holder";
  EXPECT_EQ(fs::status(lock).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(InstanceChannelTest, LockFilesThatAreNotPlainFilesOfThisUserAreNotUsed) {
  fs::create_directories(m_dir / "a-folder");
  std::ofstream(path("target")) << "keep";
  fs::create_symlink(path("target"), path("a-link"));
  ASSERT_EQ(::mkfifo(path("a-fifo").c_str(), 0600), 0);
  for (const char* name : {"a-folder", "a-link", "a-fifo", "missing-folder/x.lock"}) {
    EXPECT_EQ(holdInstanceLock(path(name)), InstanceLock::unavailable) << name;
  }
  EXPECT_EQ(fs::file_size(path("target")), 4U) << "the link's target is left alone";
}

TEST_F(InstanceChannelTest, ListenerReplacesAnEndedInstancesSocketButNoOtherFile) {
  const std::string socketPath = path("instance");
  const int first = listenForInstances(socketPath);
  ASSERT_GE(first, 0);
  ::close(first);  // an instance that ended without removing its socket
  EXPECT_EQ(knockOnInstance(socketPath, "come-forward\n", 200ms), Knock::nobodyThere);
  const int second = listenForInstances(socketPath);
  EXPECT_GE(second, 0);
  ::close(second);

  std::ofstream(path("a-file")) << "keep";
  EXPECT_EQ(listenForInstances(path("a-file")), -1);
  EXPECT_TRUE(fs::is_regular_file(path("a-file")));
  EXPECT_EQ(listenForInstances(path(std::string(120, 'x'))), -1) << "longer than a socket path can be";
}

TEST_F(InstanceChannelTest, KnockTellsAnAnswerFromSilenceFromNobody) {
  EXPECT_EQ(knockOnInstance(path("nobody"), "come-forward\n", 200ms), Knock::nobodyThere);
  // Accepted by the queue but never read: the knock gives up after its timeout.
  const int quiet = listenForInstances(path("quiet"));
  ASSERT_GE(quiet, 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(knockOnInstance(path("quiet"), "come-forward\n", 200ms), Knock::silent);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  ::close(quiet);

  const int listener = listenForInstances(path("instance"));
  ASSERT_GE(listener, 0);
  std::string request;
  std::thread answering([&] {
    int peer = -1;
    while ((peer = acceptInstance(listener)) < 0) std::this_thread::sleep_for(5ms);
    char buffer[64];
    ssize_t got = 0;
    while ((got = ::recv(peer, buffer, sizeof buffer, 0)) < 0) std::this_thread::sleep_for(5ms);
    request.assign(buffer, static_cast<std::size_t>(got));
    ::send(peer, "done\n", 5, MSG_NOSIGNAL);
    ::close(peer);
  });
  EXPECT_EQ(knockOnInstance(path("instance"), "come-forward\n", 2000ms), Knock::answered);
  answering.join();
  EXPECT_EQ(request, "come-forward\n");
  ::close(listener);
}

TEST_F(InstanceChannelTest, FindingWaitsForAnEndingHolderAndThenHoldsTheLock) {
  const std::string lock = path("ending.lock");
  const auto start = std::chrono::steady_clock::now();
  {
    const LockHolder ending(lock, 300ms);
    EXPECT_FALSE(findRunningInstance(lock, path("instance"), "come-forward\n", 5s));
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
  EXPECT_EQ(holdInstanceLock(lock), InstanceLock::held);
}

TEST_F(InstanceChannelTest, AHolderThatNeverListensStillCountsAsRunning) {
  const std::string lock = path("silent.lock");
  const LockHolder starting(lock, 1500ms);
  EXPECT_TRUE(findRunningInstance(lock, path("instance"), "come-forward\n", 300ms));
}

TEST_F(InstanceChannelTest, WithoutAUsableLockOnlyAListenerCounts) {
  fs::create_directories(m_dir / "not-a-lock");
  EXPECT_FALSE(findRunningInstance(path("not-a-lock"), path("instance"), "come-forward\n", 5s));
}

}  // namespace
}  // namespace ormel
