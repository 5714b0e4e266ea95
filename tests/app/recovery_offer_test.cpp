#include "app/recovery_offer.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "config/temp_folder.h"
#include "scratchpad/content_file.h"
#include "scratchpad/headless_scratch_pad.h"
#include "support/recording_message_box.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::RecordingMessageBox;
using testing_support::TempFolderTest;

/// The id of a process that has ended (and been reaped), so nothing runs under it.
long endedPid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

class RecoveryOfferTest : public TempFolderTest {
 protected:
  [[nodiscard]] std::string folder() const { return path(""); }
  void leaveRecovery(long pid, const std::string& padText, const std::string& varsText) const {
    const RecoveryFiles files = recoveryFilesOf(folder(), pid);
    ASSERT_TRUE(writeFileAtomically(files.pad, padText).ok);
    ASSERT_TRUE(writeFileAtomically(files.vars, varsText).ok);
  }
  [[nodiscard]] std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder())) {
      found.insert(entry.path().filename().string());
    }
    return found;
  }
  [[nodiscard]] std::optional<RecoveryFiles> offer(RecordingMessageBox& box) {
    return offerLeftRecovery(folder(), ::getpid(), RecoveryTarget{box, pad.pad, pad.parser, *pad.variables});
  }

  HeadlessScratchPad pad;
};

const std::string kLeftPad = "{\\rtf1{\\colortbl ;\\red255\\green255\\blue0;}\\cf1\\b r = 1/3\\par  0.333}";
const std::string kLeftVars = "<variables>\r\n <variable name=\"R\" value=\"0.333\" />\r\n</variables>\r\n";

TEST_F(RecoveryOfferTest, FindsOnlyWhatEndedInstancesLeft) {
  const long ended = endedPid();
  const long running = ::getppid();
  leaveRecovery(ended, "{\\rtf1 a}", "<variables />\r\n");
  leaveRecovery(running, "{\\rtf1 b}", "<variables />\r\n");
  write("workspace.dat.recovery-" + std::to_string(::getpid()), "{\\rtf1 c}");
  for (const char* other : {"workspace.dat.recovery-12x", "vars.xml.recovery-", "workspace.dat",
                            "vars.xml.recovery-99.recovered-20260101-000000", "workspace.dat.recovery-0"}) {
    write(other, "x");
  }
  const std::vector<LeftRecovery> sets = findLeftRecoveries(folder(), ::getpid());
  std::set<long> pids;
  for (const LeftRecovery& left : sets) pids.insert(left.pid);
  EXPECT_EQ(pids, (std::set<long>{ended, ::getpid()}));
  for (const LeftRecovery& left : sets) {
    EXPECT_EQ(left.files.pad, recoveryFilesOf(folder(), left.pid).pad);
    EXPECT_EQ(left.files.vars, left.pid == ended ? recoveryFilesOf(folder(), ended).vars : "");
    EXPECT_GT(left.written, 0);
  }
}

TEST_F(RecoveryOfferTest, NoLeftFilesAsksNothing) {
  RecordingMessageBox box(true);
  EXPECT_FALSE(offer(box));
  EXPECT_TRUE(box.log.empty());
}

TEST_F(RecoveryOfferTest, TheQuestionNamesWhenTheCopyWasWritten) {
  const char* zone = std::getenv("TZ");
  const std::string saved = zone != nullptr ? zone : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(
      restoreQuestion(1796900645),
      "ormelCalc did not close normally. Restore the scratch pad and variables from 2026-12-10 11:04:05?");
  if (zone != nullptr) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

TEST_F(RecoveryOfferTest, YesRestoresThePadAndReplacesTheVariables) {
  pad.enterLine("today = 5");
  pad.enterLine("6*7");
  const long ended = endedPid();
  leaveRecovery(ended, kLeftPad, kLeftVars);
  RecordingMessageBox box(true);
  const std::optional<RecoveryFiles> restored = offer(box);
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->pad, recoveryFilesOf(folder(), ended).pad);
  ASSERT_EQ(box.log.size(), 1U);
  EXPECT_TRUE(
      box.log[0].starts_with("ask: ormelCalc did not close normally. Restore the scratch pad and variables "
                             "from 20"));
  EXPECT_EQ(pad.pad.text(), "r = 1/3\n 0.333");
  EXPECT_EQ(pad.pad.styleAt(3), (CharStyle{0x00FFFF, true}));
  EXPECT_EQ(pad.parser.Variables().count(), 1);
  EXPECT_EQ(pad.parser.Variables().name(0), "R");
  EXPECT_EQ(pad.varsTextLabel.caption(), "R=0.333");
  // The files stay until this instance's own copy has taken them over.
  EXPECT_TRUE(fileExists(restored->pad));
}

TEST_F(RecoveryOfferTest, NoKeepsTheStartAndSetsTheFilesAside) {
  pad.enterLine("today = 5");
  const long ended = endedPid();
  leaveRecovery(ended, kLeftPad, kLeftVars);
  RecordingMessageBox box(false);
  EXPECT_FALSE(offer(box));
  EXPECT_EQ(pad.pad.text(), "today = 5\n");
  EXPECT_EQ(pad.varsTextLabel.caption(), "TODAY=5");
  const std::set<std::string> left = names();
  ASSERT_EQ(left.size(), 2U);
  for (const std::string& name : left) {
    EXPECT_TRUE(name.find(".recovery-" + std::to_string(ended) + ".recovered-") != std::string::npos) << name;
  }
  EXPECT_TRUE(findLeftRecoveries(folder(), ::getpid()).empty());
  std::string kept;
  ASSERT_TRUE(readWholeFile(path(*left.rbegin()), kept).ok);
  EXPECT_EQ(kept, kLeftPad);
}

TEST_F(RecoveryOfferTest, OnlyTheNewestIsOfferedAndTheOlderAreSetAside) {
  const long older = endedPid();
  const long newer = endedPid();
  leaveRecovery(older, "{\\rtf1 older}", "<variables />\r\n");
  leaveRecovery(newer, "{\\rtf1 newer}", "<variables />\r\n");
  const std::filesystem::file_time_type past =
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(recoveryFilesOf(folder(), older).pad, past);
  std::filesystem::last_write_time(recoveryFilesOf(folder(), older).vars, past);
  RecordingMessageBox box(true);
  ASSERT_TRUE(offer(box));
  EXPECT_EQ(box.log.size(), 1U);
  EXPECT_EQ(pad.pad.text(), "newer");
  EXPECT_TRUE(fileExists(recoveryFilesOf(folder(), newer).pad));
  EXPECT_FALSE(fileExists(recoveryFilesOf(folder(), older).pad));
  EXPECT_EQ(names().size(), 4U);
}

TEST_F(RecoveryOfferTest, AnUnreadableCopyIsReportedAndKept) {
  const long ended = endedPid();
  std::string variables = "<variables>\r\n <variable name=\"X\" value=\"oops\" />\r\n";
  // However many entries are refused, the message names a few and counts the rest.
  for (int i = 0; i < 5000; ++i)
    variables += " <variable name=\"Y" + std::to_string(i) + "\" value=\"?\" />\r\n";
  leaveRecovery(ended, kLeftPad, variables + "</variables>\r\n");
  RecordingMessageBox box(true);
  EXPECT_FALSE(offer(box));
  ASSERT_EQ(box.log.size(), 2U);
  EXPECT_TRUE(box.log[1].starts_with("error: ormelCalc could not read all of its recovery copy:\n"))
      << box.log[1];
  EXPECT_NE(box.log[1].find("'oops'"), std::string::npos) << box.log[1];
  EXPECT_NE(box.log[1].find("\nand 4998 more\n"), std::string::npos) << box.log[1];
  EXPECT_LT(box.log[1].size(), 600U);
  EXPECT_TRUE(findLeftRecoveries(folder(), ::getpid()).empty());
  EXPECT_EQ(names().size(), 2U);
}

TEST_F(RecoveryOfferTest, SettingAsideNeverOverwritesAnEarlierSetAside) {
  const RecoveryFiles files = recoveryFilesOf(folder(), 77);
  for (const char* content : {"first", "second"}) {
    ASSERT_TRUE(writeFileAtomically(files.pad, content).ok);
    setRecoveryAside(RecoveryFiles{files.pad, ""}, 1796900645);
  }
  std::set<std::string> contents;
  for (const std::string& name : names()) contents.insert(read(name));
  EXPECT_EQ(contents, (std::set<std::string>{"first", "second"}));
}

}  // namespace
}  // namespace ormel
