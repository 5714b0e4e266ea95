#include "base/set_aside_copy.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

namespace ormel {
namespace {

namespace fs = std::filesystem;

class SetAsideCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("ormel-set-aside-" + std::to_string(::getpid()));
    fs::create_directories(m_dir);
    m_file = (m_dir / "vars.xml").string();
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::set<std::string> names() const {
    std::set<std::string> result;
    for (const auto& entry : fs::directory_iterator(m_dir)) result.insert(entry.path().filename().string());
    return result;
  }
  static std::string read(const std::string& path) {
    std::string content;
    EXPECT_TRUE(readWholeFile(path, content).ok);
    return content;
  }
  fs::path m_dir;
  std::string m_file;
};

TEST_F(SetAsideCopyTest, CopiesOfOneSecondNeverOverwriteEachOther) {
  const std::time_t when = 1'700'000'000;
  std::set<std::string> copies;
  for (const char* bytes : {"first", "second", "third"}) {
    std::string copy;
    ASSERT_TRUE(keepSetAsideCopy(m_file, bytes, copy, when).ok);
    EXPECT_EQ(read(copy), bytes);
    copies.insert(copy);
  }
  EXPECT_EQ(copies.size(), 3u);
  EXPECT_TRUE(copies.begin()->starts_with(m_file + ".bad-20231114-")) << *copies.begin();
}

TEST_F(SetAsideCopyTest, OnlyTheTenNewestAreKept) {
  for (int i = 0; i < 14; ++i) {
    std::string copy;
    ASSERT_TRUE(keepSetAsideCopy(m_file, std::to_string(i), copy, 1'700'000'000 + i * 3600).ok);
  }
  ASSERT_TRUE(writeFileAtomically((m_dir / "settings.xml.bad-20000101-000000").string(), "other file's").ok);
  std::string copy;
  ASSERT_TRUE(keepSetAsideCopy(m_file, "14", copy, 1'700'000'000 + 14 * 3600).ok);
  const std::set<std::string> kept = names();
  EXPECT_EQ(kept.size(), 11u);
  EXPECT_TRUE(kept.contains("settings.xml.bad-20000101-000000")) << "another file's copies stay";
  std::set<std::string> contents;
  for (const std::string& name : kept) contents.insert(read((m_dir / name).string()));
  for (int i = 5; i <= 14; ++i) EXPECT_TRUE(contents.contains(std::to_string(i))) << i;
}

TEST_F(SetAsideCopyTest, AFolderThatCannotBeWrittenFailsWithReason) {
  std::string copy = "stale";
  const FileResult result = keepSetAsideCopy((m_dir / "missing/vars.xml").string(), "x", copy);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, "No such file or directory");
  EXPECT_TRUE(copy.empty());
}

}  // namespace
}  // namespace ormel
