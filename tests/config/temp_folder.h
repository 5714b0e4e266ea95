#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "base/atomic_file.h"

namespace ormel::testing_support {

/// A fresh folder per test, removed afterwards: the data folder of a first run.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        "ormel-config-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    m_dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  [[nodiscard]] std::string path(const std::string& name) const { return (m_dir / name).string(); }
  [[nodiscard]] std::string read(const std::string& name) const {
    std::string content;
    EXPECT_TRUE(readWholeFile(path(name), content).ok) << name;
    return content;
  }
  void write(const std::string& name, const std::string& content) const {
    ASSERT_TRUE(writeFileAtomically(path(name), content).ok) << name;
  }

  /// Runs action with writes limited to a few bytes, as on a full disk (even for root).
  static void withFullDisk(const std::function<void()>& action) {
    struct Limit {
      rlimit saved{};
      Limit() {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit tiny = saved;
        tiny.rlim_cur = 8;
        ::setrlimit(RLIMIT_FSIZE, &tiny);
      }
      ~Limit() {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_DFL);
      }
    } limit;
    action();
  }

 private:
  std::filesystem::path m_dir;
};

}  // namespace ormel::testing_support
