#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

namespace ormel {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("ormel-atomic-" + std::to_string(::getpid()));
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string path(const char* name) const { return (m_dir / name).string(); }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
  }
  fs::path m_dir;
};

TEST_F(AtomicFileTest, WritesAndReadsBackBytes) {
  const std::string content("a\r\nb\0c\xff", 7);
  ASSERT_TRUE(writeFileAtomically(path("f.xml"), content).ok);
  std::string back;
  ASSERT_TRUE(readWholeFile(path("f.xml"), back).ok);
  EXPECT_EQ(back, content);
  EXPECT_EQ(entries(), 1u) << "no temporary file is left behind";
}

TEST_F(AtomicFileTest, ReplacesAndKeepsMode) {
  ASSERT_TRUE(writeFileAtomically(path("f"), "old").ok);
  ::chmod(path("f").c_str(), 0640);
  ASSERT_TRUE(writeFileAtomically(path("f"), "new").ok);
  std::string back;
  ASSERT_TRUE(readWholeFile(path("f"), back).ok);
  EXPECT_EQ(back, "new");
  EXPECT_EQ(fs::status(path("f")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(AtomicFileTest, MissingFolderFailsWithReason) {
  const FileResult result = writeFileAtomically(path("no/such/f"), "x");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, "No such file or directory");
}

TEST_F(AtomicFileTest, FullDiskLeavesOldFileIntact) {
  ASSERT_TRUE(writeFileAtomically(path("settings.xml"), "previous content").ok);
  // A file size limit makes write() fail as a full disk does, even for root.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit tiny = saved;
  tiny.rlim_cur = 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
  const FileResult result = writeFileAtomically(path("settings.xml"), std::string(4096, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, SIG_DFL);

  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, "File too large");
  std::string back;
  ASSERT_TRUE(readWholeFile(path("settings.xml"), back).ok);
  EXPECT_EQ(back, "previous content");
  EXPECT_EQ(entries(), 1u) << "the temporary file is removed";
}

TEST_F(AtomicFileTest, ReadFailures) {
  std::string content = "stale";
  EXPECT_FALSE(readWholeFile(path("missing"), content).ok);
  EXPECT_TRUE(content.empty());
  EXPECT_FALSE(readWholeFile(m_dir.string(), content).ok) << "a folder is no file";
  EXPECT_FALSE(fileExists(path("missing")));
  EXPECT_TRUE(fileExists(m_dir.string()));
}

}  // namespace
}  // namespace ormel
