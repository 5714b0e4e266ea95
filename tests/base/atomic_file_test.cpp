#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "support/ended_process.h"

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

TEST_F(AtomicFileTest, ReplacementGetsTheUsualModeWhateverTheOldOneHad) {
  const mode_t savedMask = ::umask(022);
  for (const mode_t oldMode : {mode_t{0000}, mode_t{0640}, mode_t{0777}}) {
    ASSERT_TRUE(writeFileAtomically(path("f"), "old").ok);
    ::chmod(path("f").c_str(), oldMode);
    ASSERT_TRUE(writeFileAtomically(path("f"), "new").ok);
    std::string back;
    ASSERT_TRUE(readWholeFile(path("f"), back).ok);
    EXPECT_EQ(back, "new");
    EXPECT_EQ(fs::status(path("f")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read)
        << "old mode " << std::oct << oldMode;
  }
  ::umask(savedMask);
}

TEST_F(AtomicFileTest, SymbolicLinksAreWrittenThroughToTheirTarget) {
  fs::create_directories(m_dir / "elsewhere");
  ASSERT_TRUE(writeFileAtomically(path("elsewhere/target.ocs"), "old").ok);
  fs::create_symlink("elsewhere/target.ocs", m_dir / "relative.ocs");
  fs::create_symlink(m_dir / "relative.ocs", m_dir / "chained.ocs");
  fs::create_symlink("elsewhere/not-yet.ocs", m_dir / "dangling.ocs");
  ASSERT_TRUE(writeFileAtomically(path("chained.ocs"), "through two links").ok);
  ASSERT_TRUE(writeFileAtomically(path("dangling.ocs"), "made at the target").ok);
  EXPECT_TRUE(fs::is_symlink(m_dir / "chained.ocs"));
  EXPECT_TRUE(fs::is_symlink(m_dir / "relative.ocs"));
  EXPECT_TRUE(fs::is_symlink(m_dir / "dangling.ocs"));
  std::string back;
  ASSERT_TRUE(readWholeFile(path("elsewhere/target.ocs"), back).ok);
  EXPECT_EQ(back, "through two links");
  ASSERT_TRUE(readWholeFile(path("elsewhere/not-yet.ocs"), back).ok);
  EXPECT_EQ(back, "made at the target");
  EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "elsewhere"), fs::directory_iterator()), 2);
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

TEST_F(AtomicFileTest, ReadsNeverBlockAndAreBounded) {
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", m_dir / "zero");
  ASSERT_TRUE(writeFileAtomically(path("big"), std::string(2048, 'x')).ok);
  struct Row {
    const char* name;
    std::size_t limit;
    int error;
  };
  for (const Row& row : {Row{"fifo", kSettingsFileLimit, kNotRegularFile},
                         Row{"zero", kSettingsFileLimit, kNotRegularFile}, Row{"big", 1024, EFBIG}}) {
    std::string content = "stale";
    const FileResult result = readWholeFile(path(row.name), content, row.limit);
    EXPECT_FALSE(result.ok) << row.name;
    EXPECT_EQ(result.error, row.error) << row.name;
    EXPECT_TRUE(content.empty()) << row.name;
  }
  std::string content;
  EXPECT_TRUE(readWholeFile(path("big"), content, 2048).ok) << "the limit itself is allowed";
}

TEST_F(AtomicFileTest, StaleTemporaryFilesOfEndedProcessesAreRemoved) {
  const pid_t child = testing_support::endedProcessId();
  ASSERT_GT(child, 0);
  const std::string ended = std::to_string(child);
  const std::string running = std::to_string(::getppid());
  for (const std::string& name : std::initializer_list<std::string>{
           ".ormel-" + ended + "-0.tmp", ".ormel-" + ended + "-17.tmp", ".ormel-" + running + "-3.tmp",
           ".ormel-" + std::to_string(::getpid()) + "-1.tmp", std::string(".ormel-x-1.tmp"),
           ".ormel-" + ended + "-1.tmp.keep", std::string("vars.xml")}) {
    ASSERT_TRUE(writeFileAtomically(path(name.c_str()), "x").ok);
  }
  EXPECT_EQ(removeStaleTemporaryFiles(m_dir.string()), 2u);
  EXPECT_FALSE(fs::exists(m_dir / (".ormel-" + ended + "-0.tmp")));
  EXPECT_TRUE(fs::exists(m_dir / (".ormel-" + running + "-3.tmp"))) << "its process still runs";
  EXPECT_EQ(entries(), 5u);
}

}  // namespace
}  // namespace ormel
