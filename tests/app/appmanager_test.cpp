#include "app/appmanager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string_view>

#include "base/atomic_file.h"
#include "config/temp_folder.h"
#include "support/fake_app_window.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::FakeAppWindow;
using testing_support::TempFolderTest;

constexpr const char* kDataFiles[] = {"vars.xml",    "settings.xml",  "prefs.xml",
                                      "hotkeys.xml", "workspace.dat", "toolbars.ini"};

/// One run of the program against a fake window: a manager over a data folder in the test's
/// folder, started as the instance that stays: Init, then takeOverDataFolder.
struct AppRun {
  explicit AppRun(const std::string& programFolder) : manager(window, parser, {programFolder, ""}) {
    manager.Init();
    manager.takeOverDataFolder();
  }
  FakeAppWindow window;
  TParser parser;
  TAppManager manager;
};

class AppManagerTest : public TempFolderTest {
 protected:
  [[nodiscard]] std::string data(const std::string& name) const { return path("data/" + name); }
  [[nodiscard]] std::unique_ptr<AppRun> start() const { return std::make_unique<AppRun>(path("")); }
  void writeData(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories(path("data"));
    write("data/" + name, content);
  }
};

TEST_F(AppManagerTest, FirstRunFillsTheWindowAndSavesEveryFile) {
  const auto run = start();
  EXPECT_EQ(run->manager.paths().DataDir, path("data/"));
  EXPECT_FALSE(run->manager.Initializing());
  EXPECT_TRUE(run->window.messages.log.empty());
  EXPECT_EQ(run->window.hintTiming, "500/1");
  EXPECT_EQ(run->window.varsText.caption(), "No defined variables");
  EXPECT_EQ(run->window.look.fontFace(), "Verdana") << "preferences are applied";
  const std::vector<std::string> items = functionListItems(run->parser);
  ASSERT_EQ(run->window.funcs.itemCount(), static_cast<int>(items.size()));
  EXPECT_EQ(run->window.funcs.item(0), items.front());

  EXPECT_TRUE(run->manager.SaveSettings());
  for (const char* name : kDataFiles) EXPECT_TRUE(fileExists(data(name))) << name;
  EXPECT_EQ(read("data/hotkeys.xml"), testing_support::kDefaultHotkeysFile);
}

TEST_F(AppManagerTest, WhatOneRunSavesTheNextRestores) {
  {
    const auto run = start();
    run->parser.SetVariable("rate", 1.5L);
    run->window.pad.setSelText("2+3");
    run->window.actionList.setShortCut(4, 0x2000 | 'Q');
    run->window.toolbars[1].visible = false;
    run->manager.OrmelPrefs().setDecimalPlaces(7);
    ASSERT_TRUE(run->manager.SaveSettings());
  }
  const auto run = start();
  EXPECT_EQ(run->window.varsText.caption(), "RATE=1.5");
  EXPECT_EQ(run->window.pad.text(), "2+3");
  EXPECT_EQ(run->window.actionList.shortCut(4), 0x2000 | 'Q');
  EXPECT_FALSE(run->window.toolbars[1].visible);
  EXPECT_TRUE(run->window.toolbars[0].visible);
  EXPECT_EQ(run->manager.OrmelPrefs().decimalPlaces(), 7);
}

TEST_F(AppManagerTest, WithoutSaveWorkspaceThePadIsNeitherWrittenNorRead) {
  writeData("settings.xml", "<settings><saveworkspace value=\"False\"/></settings>");
  writeData("workspace.dat", "1+1");
  {
    const auto run = start();
    EXPECT_EQ(run->window.pad.text(), "");
    run->window.pad.setSelText("9*9");
    ASSERT_TRUE(run->manager.SaveSettings());
  }
  EXPECT_EQ(read("data/workspace.dat"), "1+1");
}

TEST_F(AppManagerTest, AFileThatCannotBeReadIsReportedKeptAsideAndTheRestLoads) {
  writeData("vars.xml", "<variables><variable name=\"x\" value=\"abc\"/></variables>");
  writeData("prefs.xml", "<preferences><selectedfont value=\"Mono\"/></preferences>");
  const auto run = start();
  ASSERT_EQ(run->window.messages.log.size(), 1U);
  const std::string& shown = run->window.messages.log.front();
  EXPECT_EQ(shown.rfind("error: ormelCalc could not read all of its data files:\n", 0), 0U) << shown;
  const std::string keptAs = "It has been kept as \"" + data("vars.xml") + ".bad-";
  const std::size_t at = shown.find(keptAs);
  ASSERT_NE(at, std::string::npos) << shown;
  const std::size_t nameStart = at + keptAs.size() - data("vars.xml.bad-").size();
  const std::string copy = shown.substr(nameStart, shown.find('"', nameStart) - nameStart);
  EXPECT_EQ(read(copy.substr(path("").size())), "<variables><variable name=\"x\" value=\"abc\"/></variables>")
      << "what the user had is kept as it was";
  EXPECT_EQ(run->window.look.fontFace(), "Mono") << "the files after it still load";
}

TEST_F(AppManagerTest, EveryFileThatCannotBeSavedIsNamedInOneMessage) {
  const auto run = start();
  TempFolderTest::withFullDisk([&] { EXPECT_FALSE(run->manager.SaveSettings()); });
  ASSERT_EQ(run->window.messages.log.size(), 1U);
  const std::string& shown = run->window.messages.log.front();
  EXPECT_EQ(shown.rfind("error: ormelCalc could not save all of its data files:", 0), 0U) << shown;
  // One line per file under the heading; the workspace's says only that its stream failed.
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), std::size(kDataFiles)) << shown;
  for (const char* name : kDataFiles) {
    if (std::string_view(name) != "workspace.dat") {
      EXPECT_NE(shown.find(name), std::string::npos) << name;
    }
  }
}

struct UnsavedPadRow {
  std::string name;
  std::string workspace;  // empty: a folder in its place, which cannot be read
  std::string typed;
  std::string why;  // empty: nothing would be lost
};

class AppManagerUnsavedPad : public AppManagerTest, public testing::WithParamInterface<UnsavedPadRow> {};

// A workspace that was left as it was is not saved over; what was typed since goes elsewhere.
TEST_P(AppManagerUnsavedPad, IsOfferedElsewhereOnlyWhenSomethingWouldBeLost) {
  const UnsavedPadRow& row = GetParam();
  if (row.workspace.empty()) {
    std::filesystem::create_directories(path("data/workspace.dat"));
  } else {
    writeData("workspace.dat", row.workspace);
    // Every name a copy kept aside now could take is taken.
    for (std::time_t second = std::time(nullptr); second < std::time(nullptr) + 5; ++second) {
      char stamp[32];
      std::tm local{};
      std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", ::localtime_r(&second, &local));
      for (int n = 1; n < 100; ++n) {
        const std::string suffix = n == 1 ? "" : (n < 10 ? "-0" : "-") + std::to_string(n);
        writeData("workspace.dat.bad-" + std::string(stamp) + suffix, "taken");
      }
    }
  }
  const auto run = start();
  EXPECT_EQ(run->window.pad.text().find("6*7") != std::string::npos, !row.workspace.empty());
  run->window.messages.log.clear();
  run->window.pad.setSelText(row.typed);
  run->window.messages.answer = true;
  run->window.saveDialog.answer = path("rescued.ocs");
  EXPECT_EQ(run->manager.SaveSettings(), row.why.empty());
  if (row.workspace.empty()) {
    EXPECT_TRUE(std::filesystem::is_directory(data("workspace.dat")));
  } else {
    EXPECT_EQ(read("data/workspace.dat"), row.workspace);
  }
  if (row.why.empty()) {
    EXPECT_TRUE(run->window.messages.log.empty());
    EXPECT_TRUE(run->window.saveDialog.asked.empty());
    return;
  }
  ASSERT_EQ(run->window.messages.log.size(), 1U);
  const std::string& shown = run->window.messages.log.front();
  EXPECT_NE(shown.find("ask: ormelCalc could not save all of its data files:\n\"" + data("workspace.dat") +
                       "\" is not saved: " + row.why + "."),
            std::string::npos)
      << shown;
  EXPECT_EQ(run->window.saveDialog.asked.size(), 1U);
  EXPECT_NE(read("rescued.ocs").find(row.typed), std::string::npos);
}

const std::string kCutWorkspace = "{\\rtf1\\ansi 6*7\\par";

INSTANTIATE_TEST_SUITE_P(
    Rows, AppManagerUnsavedPad,
    testing::Values(UnsavedPadRow{"TypedWhereNothingCouldBeRead", "", "6*7 = 42",
                                  "it could not be read when ormelCalc started (Is a directory)"},
                    UnsavedPadRow{"NothingTyped", "", "", ""},
                    UnsavedPadRow{"TypedIntoABadOneNotKeptAside", kCutWorkspace, "more",
                                  "no copy of what it held could be made (File exists)"},
                    UnsavedPadRow{"ABadOneNotKeptAsideLeftAsItWas", kCutWorkspace, "", ""}),
    testing_support::RowName());

struct DialogRow {
  std::string name;
  void (TAppManager::*show)();
  std::string prepared;
};

class AppManagerDialogs : public AppManagerTest, public testing::WithParamInterface<DialogRow> {};

// A dialog is prepared with what it edits before it shows, and stays on top with the window.
TEST_P(AppManagerDialogs, ArePreparedThenShownOnTopOnlyWithTheSwitch) {
  const DialogRow& row = GetParam();
  const auto run = start();
  for (const bool onTop : {false, true}) {
    run->manager.OrmelSettings().setSettingValue(run->manager.OrmelSettings().getSettingIndex("AlwaysOnTop"),
                                                 onTop);
    run->window.dialogLog.clear();
    (run->manager.*row.show)();
    std::vector<std::string> expected;
    if (!row.prepared.empty()) expected.push_back(row.name + " " + row.prepared);
    expected.push_back(row.name + (onTop ? " on top" : " not on top"));
    expected.push_back(row.name + " shown");
    EXPECT_EQ(run->window.dialogLog, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AppManagerDialogs,
    testing::Values(DialogRow{"switches", &TAppManager::showSettingsDialog, "filled with 3 switches"},
                    DialogRow{"preferences", &TAppManager::showPrefsDialog, "given 8 preferences"},
                    DialogRow{"hotkeys", &TAppManager::showHotkeysDialog, "filled with 10 actions"},
                    DialogRow{"about", &TAppManager::showAboutDialog, ""}),
    testing_support::RowName());

TEST_F(AppManagerTest, AlwaysOnTopReachesTheWindow) {
  const auto run = start();
  run->manager.AlwaysOnTop(true);
  EXPECT_TRUE(run->window.look.alwaysOnTop());
  run->manager.AlwaysOnTop(false);
  EXPECT_FALSE(run->window.look.alwaysOnTop());
}

}  // namespace
}  // namespace ormel
