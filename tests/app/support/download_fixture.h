#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/HTTPGet.h"
#include "base/task_queue_window_thread.h"

namespace ormel::testing_support {

/// A download component on a window thread without a display, a folder for its files and
/// the events it reported.
class DownloadFixture : public testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    m_dir = std::filesystem::temp_directory_path() /
            ("ormel-http-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(m_dir);
    m_get->SetFileName(path("download"));
    m_get->SetOnDoneFile([this](THTTPGet& sender, const std::string& fileName, std::int64_t fileSize) {
      EXPECT_EQ(&sender, m_get.get());
      EXPECT_TRUE(m_window.isWindowThread());
      ++m_doneEvents;
      m_doneFileName = fileName;
      m_doneFileSize = fileSize;
    });
    m_get->SetOnError([this](THTTPGet& sender) {
      EXPECT_EQ(&sender, m_get.get());
      EXPECT_TRUE(m_window.isWindowThread());
      ++m_errorEvents;
    });
  }
  void TearDown() override {
    m_get.reset();
    std::filesystem::remove_all(m_dir);
  }

  [[nodiscard]] std::string path(const std::string& name) const { return (m_dir / name).string(); }
  [[nodiscard]] bool fileExists(const std::string& name = "download") const {
    return std::filesystem::exists(m_dir / name);
  }
  [[nodiscard]] std::string fileContent(const std::string& name = "download") const {
    std::ifstream in(m_dir / name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }
  /// Fetches url, waiting inside GetFile.
  void fetch(const std::string& url) {
    m_get->SetURL(url);
    m_get->SetWaitThread(true);
    m_get->GetFile();
  }
  /// Runs the window thread until the component is idle (at most a generous while).
  void pumpUntilIdle() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (m_get->busy() && std::chrono::steady_clock::now() < deadline) {
      m_window.processEvents(std::chrono::milliseconds(5));
    }
    ASSERT_FALSE(m_get->busy());
  }

  TaskQueueWindowThread m_window;
  std::unique_ptr<THTTPGet> m_get = std::make_unique<THTTPGet>(m_window);
  std::filesystem::path m_dir;
  int m_doneEvents = 0;
  int m_errorEvents = 0;
  std::string m_doneFileName;
  std::int64_t m_doneFileSize = -1;
};

}  // namespace ormel::testing_support
