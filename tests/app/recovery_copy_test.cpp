#include "app/recovery_copy.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/manual_timer.h"
#include "config/temp_folder.h"
#include "scratchpad/content_file.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::TempFolderTest;

StyledLine styled(const std::u16string& text, CharStyle style) {
  return StyledLine{text, std::vector<CharStyle>(text.size(), style), style};
}

/// A pad with an expression and its bold yellow answer, shared as a snapshot shares it.
StyledText samplePad() {
  return {styled(u"r = 1/3 \u00e9", CharStyle{0xFFFFFF, true}), styled(u" 0.333", CharStyle{0x00FFFF, true}),
          styled(u"", CharStyle{0xFFFFFF, false})};
}

class RecoveryCopyTest : public TempFolderTest {
 protected:
  std::unique_ptr<RecoveryCopy> makeCopy(const std::string& folder) {
    auto quiet = std::make_unique<ManualTimer>();
    auto longest = std::make_unique<ManualTimer>();
    m_quiet = quiet.get();
    m_longest = longest.get();
    return std::make_unique<RecoveryCopy>(
        recoveryFilesOf(folder, 4242), std::move(quiet), std::move(longest), [this] {
          ++snapshots;
          return RecoverySnapshot{ContentSnapshot(pad), vars, std::string(kDefaultSheetFont)};
        });
  }
  std::unique_ptr<RecoveryCopy> makeCopy() { return makeCopy(path("")); }
  /// Lets time pass on both window timers, in steps of 100 ms as an event loop would.
  void advance(int milliseconds) {
    for (int step = 0; step < milliseconds; step += 100) {
      m_quiet->advance(100);
      m_longest->advance(100);
    }
  }

  StyledText pad = samplePad();
  std::string vars = "<variables>\r\n <variable name=\"R\" value=\"0.333\" />\r\n</variables>\r\n";
  int snapshots = 0;

 private:
  ManualTimer* m_quiet = nullptr;
  ManualTimer* m_longest = nullptr;
};

struct DebounceRow {
  const char* name;
  int changeEvery;  // ms between changes; 0: a single change at the start
  int changesFor;   // ms during which changes go on
  int watchFor;     // ms watched in all
  int writes;
};

class RecoveryDebounceTest : public RecoveryCopyTest, public ::testing::WithParamInterface<DebounceRow> {};

TEST_P(RecoveryDebounceTest, WritesQuietlyAfterChangesAndAtLeastEvery30Seconds) {
  const DebounceRow& row = GetParam();
  const std::unique_ptr<RecoveryCopy> copy = makeCopy();
  for (int now = 0; now < row.watchFor; now += 100) {
    const bool changes = row.changeEvery == 0 ? now == 0 : now < row.changesFor && now % row.changeEvery == 0;
    if (changes) copy->noteChange();
    advance(100);
  }
  EXPECT_EQ(snapshots, row.writes);
}

INSTANTIATE_TEST_SUITE_P(Rows, RecoveryDebounceTest,
                         ::testing::Values(DebounceRow{"NothingChanged", 0, 0, 0, 0},
                                           DebounceRow{"OneChangeNotYet2s", 0, 0, 1900, 0},
                                           DebounceRow{"OneChangeAfter2s", 0, 0, 2000, 1},
                                           DebounceRow{"OneChangeWrittenOnce", 0, 0, 60000, 1},
                                           DebounceRow{"TypingPostponesWithin30s", 1000, 20000, 20900, 0},
                                           DebounceRow{"TypingWrittenAfterItStops", 1000, 20000, 21000, 1},
                                           DebounceRow{"EndlessTypingEvery30s", 500, 70000, 70000, 2},
                                           DebounceRow{"EndlessTypingThenQuiet", 500, 70000, 72000, 3}),
                         testing_support::RowName{});

TEST_F(RecoveryCopyTest, WritesThePadAsTheWorkspaceAndTheVariablesAsTheirFile) {
  const std::unique_ptr<RecoveryCopy> copy = makeCopy();
  copy->writeNow();
  copy->waitUntilWritten();
  saveContentFile(path("workspace.dat"), pad, kDefaultSheetFont);
  EXPECT_EQ(read("workspace.dat.recovery-4242"), read("workspace.dat"));
  EXPECT_EQ(read("vars.xml.recovery-4242"), vars);
  const std::optional<StyledText> back = readRtf(read("workspace.dat.recovery-4242"), CharStyle{});
  ASSERT_TRUE(back);
  EXPECT_TRUE(sameCharacters(*back, pad));
}

TEST_F(RecoveryCopyTest, TheLatestSnapshotWins) {
  const std::unique_ptr<RecoveryCopy> copy = makeCopy();
  copy->writeNow();
  pad = {styled(u"later", CharStyle{0x00FF00, false})};
  vars = "<variables />\r\n";
  copy->writeNow();
  copy->waitUntilWritten();
  EXPECT_EQ(read("workspace.dat.recovery-4242"), writeRtf(pad));
  EXPECT_EQ(read("vars.xml.recovery-4242"), vars);
}

TEST_F(RecoveryCopyTest, ANormalEndRemovesTheFilesAndWritesNoMore) {
  const std::unique_ptr<RecoveryCopy> copy = makeCopy();
  copy->writeNow();
  copy->noteChange();
  copy->finish(true);
  EXPECT_FALSE(fileExists(path("workspace.dat.recovery-4242")));
  EXPECT_FALSE(fileExists(path("vars.xml.recovery-4242")));
  const int taken = snapshots;
  copy->noteChange();
  advance(40000);
  copy->writeNow();
  copy->waitUntilWritten();
  EXPECT_EQ(snapshots, taken);
  EXPECT_FALSE(fileExists(path("workspace.dat.recovery-4242")));
}

TEST_F(RecoveryCopyTest, AnEndThatCouldNotSaveKeepsTheLatestState) {
  const std::unique_ptr<RecoveryCopy> copy = makeCopy();
  copy->writeNow();
  copy->waitUntilWritten();
  vars = "<variables>\r\n <variable name=\"X\" value=\"2\" />\r\n</variables>\r\n";
  copy->noteChange();
  copy->finish(false);
  EXPECT_EQ(read("vars.xml.recovery-4242"), vars);
}

TEST_F(RecoveryCopyTest, EndingWithoutFinishLeavesTheFilesForTheNextStart) {
  makeCopy()->writeNow();
  EXPECT_EQ(read("vars.xml.recovery-4242"), vars);
  EXPECT_EQ(read("workspace.dat.recovery-4242"), writeRtf(pad));
}

TEST_F(RecoveryCopyTest, AdoptedFilesGoOnceTheirContentIsWrittenAgain) {
  write("workspace.dat.recovery-17", "{\\rtf1 old}");
  write("vars.xml.recovery-17", "<variables />\r\n");
  const std::unique_ptr<RecoveryCopy> copy = makeCopy();
  copy->adopt(recoveryFilesOf(path(""), 17));
  copy->waitUntilWritten();
  EXPECT_FALSE(fileExists(path("workspace.dat.recovery-17")));
  EXPECT_FALSE(fileExists(path("vars.xml.recovery-17")));
  EXPECT_EQ(read("workspace.dat.recovery-4242"), writeRtf(pad));
}

TEST_F(RecoveryCopyTest, FilesOfAnEarlierProcessWithTheSameIdAreWrittenOver) {
  write("vars.xml.recovery-4242", "<variables />\r\n");
  const std::unique_ptr<RecoveryCopy> copy = makeCopy();
  copy->adopt(recoveryFilesOf(path(""), 4242));
  copy->waitUntilWritten();
  EXPECT_EQ(read("vars.xml.recovery-4242"), vars);
}

TEST_F(RecoveryCopyTest, AdoptedFilesStayWhenTheNewCopyCannotBeWritten) {
  write("workspace.dat.recovery-17", "{\\rtf1 old}");
  const std::unique_ptr<RecoveryCopy> copy = makeCopy(path("missing/"));
  copy->adopt(RecoveryFiles{path("workspace.dat.recovery-17"), ""});
  copy->waitUntilWritten();
  EXPECT_EQ(read("workspace.dat.recovery-17"), "{\\rtf1 old}");
  EXPECT_FALSE(writeRecoveryFiles(recoveryFilesOf(path("missing/"), 1), RecoverySnapshot{}));
}

TEST_F(RecoveryCopyTest, SnapshotsSharingLinesWithTheWindowAreWrittenWhileItGoesOnEditing) {
  // As the pad does: each snapshot shares every unchanged chunk with the window thread, which
  // replaces lines and hands over snapshots while the worker is still writing earlier ones.
  SharedLines lines;
  lines.replace(0, 0, StyledText(2000, samplePad()[0]));
  RecoveryCopy copy(recoveryFilesOf(path(""), 4242), std::make_unique<ManualTimer>(),
                    std::make_unique<ManualTimer>(), [&] {
                      return RecoverySnapshot{lines.snapshot(), vars, std::string(kDefaultSheetFont)};
                    });
  for (int edit = 0; edit < 300; ++edit) {
    lines.replace(static_cast<std::size_t>(edit * 37) % lines.size(), edit % 3,
                  StyledText(edit % 4, styled(u"x = " + std::u16string(1, char16_t(u'0' + edit % 10)),
                                              CharStyle{0x00FFFF, true})));
    copy.noteChange();
    copy.writeNow();
  }
  copy.waitUntilWritten();
  EXPECT_EQ(read("workspace.dat.recovery-4242"), writeRtf(lines.snapshot()));
  // A normal end while a write is under way waits for it and leaves no file.
  copy.writeNow();
  copy.finish(true);
  EXPECT_FALSE(fileExists(path("workspace.dat.recovery-4242")));
  EXPECT_FALSE(fileExists(path("vars.xml.recovery-4242")));
}

}  // namespace
}  // namespace ormel
