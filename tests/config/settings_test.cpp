#include "config/settings.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "config/headless_window.h"
#include "config/temp_folder.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::RowName;
using testing_support::TempFolderTest;

class SettingsTest : public TempFolderTest {
 protected:
  std::string settingsFile() const { return path("settings.xml"); }
  void initAndLoad(const std::string& content) {
    write("settings.xml", content);
    m_settings.Init(settingsFile());
    m_settings.Load(settingsFile());
  }
  HeadlessWindow m_window{ScreenSize{1280, 1024}};
  TOrmelSettings m_settings{m_window, m_window};
};

TEST_F(SettingsTest, FirstRunPlacesWindowAndWritesDefaults) {
  m_window.setFontSize(10);
  m_settings.Init(settingsFile());
  EXPECT_EQ(read("settings.xml"),
            "<settings>\r\n"
            " <alwaysontop value=\"False\" />\r\n"
            " <saveworkspace value=\"True\" />\r\n"
            " <oneinstance value=\"True\" />\r\n"
            " <lastactive value=\"\" />\r\n"
            " <screenpos left=\"490\" top=\"362\" width=\"350\" height=\"300\" />\r\n"
            " <fonts fontsize=\"10\" />\r\n"
            "</settings>\r\n");
  EXPECT_EQ(m_window.bounds(), (WindowBounds{490, 362, 350, 300}));
}

TEST_F(SettingsTest, FirstRunOnSmallerScreen) {
  HeadlessWindow window(ScreenSize{1024, 768});
  TOrmelSettings settings(window, window);
  settings.Init(settingsFile());
  EXPECT_EQ(window.bounds(), (WindowBounds{362, 234, 350, 300}));
  EXPECT_NE(read("settings.xml").find("<screenpos left=\"362\" top=\"234\" width=\"350\" height=\"300\" />"),
            std::string::npos);
}

TEST_F(SettingsTest, ExistingFileIsNeitherRewrittenNorUsedForPlacement) {
  write("settings.xml", "<settings />");
  m_window.setBounds({1, 2, 3, 4});
  m_settings.Init(settingsFile());
  EXPECT_EQ(read("settings.xml"), "<settings />");
  m_settings.Save(settingsFile());
  EXPECT_NE(read("settings.xml").find("<screenpos left=\"1\" top=\"2\" width=\"3\" height=\"4\" />"),
            std::string::npos);
}

TEST_F(SettingsTest, Lookups) {
  m_settings.Init(settingsFile());
  EXPECT_EQ(m_settings.count(), 3);
  EXPECT_EQ(m_settings.getSettingValue("alwaysontop"), m_settings.getSettingValue("AlwaysOnTop"));
  EXPECT_TRUE(m_settings.getSettingValue("SAVEWORKSPACE"));
  EXPECT_FALSE(m_settings.getSettingValue("NoSuchSwitch"));
  EXPECT_EQ(m_settings.getSettingIndex("NoSuchSwitch"), -1);
  EXPECT_EQ(m_settings.getSettingIndex("oneinstance"), 2);

  TOrmelSetting record;
  m_settings.getSetting(3, record);
  EXPECT_EQ(record.name, "not found");
  m_settings.getSetting(-1, record);
  EXPECT_EQ(record.name, "not found");
  EXPECT_FALSE(m_settings.getSettingValue(3));
  m_settings.getSetting("nosuch", record);
  EXPECT_EQ(record.name, "not found");
  m_settings.getSetting("saveworkspace", record);
  EXPECT_EQ(record.name, "SaveWorkspace");
  EXPECT_EQ(record.caption, "Save Workspace");
  EXPECT_TRUE(record.defaultValue);

  m_settings.setSettingValue(0, true);
  m_settings.setSettingValue(3, true);
  EXPECT_TRUE(m_settings.getSettingValue(0));
  m_settings.ApplySettings();
  EXPECT_TRUE(m_window.alwaysOnTop());
}

struct SwitchRow {
  std::string name;
  std::string value;
  bool expected;
};

class SettingsSwitchValue : public SettingsTest, public testing::WithParamInterface<SwitchRow> {};

TEST_P(SettingsSwitchValue, Converts) {
  // OneInstance defaults to true, so only a value that converts can turn it off; an unusable
  // value keeps the default.
  initAndLoad("<settings><oneinstance value=\"" + GetParam().value + "\" /></settings>");
  EXPECT_EQ(m_settings.getSettingValue("OneInstance"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsSwitchValue,
                         testing::Values(SwitchRow{"FalseSmall", "false", false},
                                         SwitchRow{"Zero", "0", false}, SwitchRow{"ZeroFloat", "0.0", false},
                                         SwitchRow{"TrueCapitals", "TRUE", true}, SwitchRow{"One", "1", true},
                                         SwitchRow{"OtherNumber", "-2.5", true},
                                         SwitchRow{"GarbageKeepsValue", "yes", true},
                                         SwitchRow{"EmptyKeepsValue", "", true}),
                         RowName{});

TEST_F(SettingsTest, LoadOverlaysWhatTheFileHolds) {
  m_window.setBounds({5, 6, 7, 8});
  initAndLoad(
      "<SETTINGS><AlwaysOnTop value=\"True\"/><saveworkspace Value=\"False\"/>"
      "<lastactive value=\"Sheet &amp; 1\"/><screenpos left=\"10\" top=\"-20\"/>"
      "<fonts fontsize=\"14\"/><unknown value=\"1\"/></SETTINGS>");
  EXPECT_TRUE(m_settings.getSettingValue("AlwaysOnTop"));
  EXPECT_TRUE(m_settings.getSettingValue("SaveWorkspace")) << "field names are compared exactly";
  EXPECT_EQ(m_settings.lastActive(), "Sheet & 1");
  EXPECT_EQ(m_window.bounds(), (WindowBounds{10, 0, 7, 8}))
      << "missing bounds are left alone; the top is kept on the screen";
  EXPECT_EQ(m_window.fontSize(), 14);

  m_settings.Save(settingsFile());
  EXPECT_NE(read("settings.xml").find("<lastactive value=\"Sheet &amp; 1\" />"), std::string::npos);
}

TEST_F(SettingsTest, BoundsAndFontSizeThatDoNotConvertAreSkipped) {
  m_window.setBounds({5, 6, 7, 8});
  m_window.setFontSize(12);
  initAndLoad(
      "<settings><screenpos left=\"x\" top=\"1.5\" width=\"99999999999\" height=\"400\"/>"
      "<fonts fontsize=\"big\"/></settings>");
  EXPECT_EQ(m_window.bounds(), (WindowBounds{5, 6, 7, 400}));
  EXPECT_EQ(m_window.fontSize(), 12);
}

TEST_F(SettingsTest, ForeignOrMissingFileChangesNothing) {
  m_window.setBounds({5, 6, 7, 8});
  initAndLoad("<preferences><alwaysontop value=\"True\"/><screenpos left=\"1\"/></preferences>");
  EXPECT_FALSE(m_settings.getSettingValue("AlwaysOnTop"));
  EXPECT_EQ(m_window.bounds(), (WindowBounds{5, 6, 7, 8}));
  m_settings.Load(path("missing.xml"));
  EXPECT_FALSE(m_settings.getSettingValue("AlwaysOnTop"));
}

TEST_F(SettingsTest, LaterDuplicateWins) {
  initAndLoad("<settings><alwaysontop value=\"1\"/><alwaysontop value=\"0\"/></settings>");
  EXPECT_FALSE(m_settings.getSettingValue("AlwaysOnTop"));
}

TEST_F(SettingsTest, SavedFileLoadsBackTheSameState) {
  m_settings.Init(settingsFile());
  m_settings.setSettingValue(0, true);
  m_settings.setSettingValue(1, false);
  m_window.setBounds({3, 40, 800, 600});
  m_window.setFontSize(22);
  m_settings.Save(settingsFile());

  HeadlessWindow window;
  TOrmelSettings settings(window, window);
  settings.Init(settingsFile());
  settings.Load(settingsFile());
  for (int i = 0; i < settings.count(); ++i)
    EXPECT_EQ(settings.getSettingValue(i), m_settings.getSettingValue(i));
  EXPECT_EQ(window.bounds(), m_window.bounds());
  EXPECT_EQ(window.fontSize(), 22);
}

struct GeometryRow {
  const char* name;
  WindowBounds stored;
  WindowBounds shown;
};

class SettingsGeometry : public SettingsTest, public testing::WithParamInterface<GeometryRow> {};

TEST_P(SettingsGeometry, WindowIsKeptOnTheScreenAtStartAndAtSave) {
  const WindowBounds& stored = GetParam().stored;
  initAndLoad("<settings><screenpos left=\"" + std::to_string(stored.left) + "\" top=\"" +
              std::to_string(stored.top) + "\" width=\"" + std::to_string(stored.width) + "\" height=\"" +
              std::to_string(stored.height) + "\" /></settings>");
  EXPECT_EQ(m_window.bounds(), GetParam().shown);
  // The window may be moved off the screen while it runs; what is saved is on it.
  m_window.setBounds(stored);
  m_settings.Save(settingsFile());
  HeadlessWindow window{ScreenSize{1280, 1024}};
  TOrmelSettings settings(window, window);
  settings.Load(settingsFile());
  EXPECT_EQ(window.bounds(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsGeometry,
    testing::Values(GeometryRow{"fits", {100, 50, 458, 334}, {100, 50, 458, 334}},
                    GeometryRow{"largestInt", {0, 0, 2147483647, 2147483647}, {0, 0, 1280, 1024}},
                    GeometryRow{"tooWide", {30, 10, 6889, 334}, {0, 10, 1280, 334}},
                    GeometryRow{"offToTheRight", {5000, 900, 458, 334}, {822, 690, 458, 334}},
                    GeometryRow{"offAbove", {-500, -2147483647, 458, 334}, {0, 0, 458, 334}}),
    RowName{});

TEST_F(SettingsTest, WhatCannotBeTakenFromTheFileIsNoted) {
  write("settings.xml",
        "<settings><alwaysontop value=\"maybe\" /><saveworkspace value=\"True\" colour=\"red\" />"
        "<screenpos left=\"x\" top=\"1\" /><window value=\"1\" /><lastactive value=\"\" /></settings>");
  m_settings.InitTable();
  LoadNotes notes;
  m_settings.Load(settingsFile(), &notes);
  EXPECT_EQ(notes, (LoadNotes{"switch AlwaysOnTop \"maybe\" is neither True nor False",
                              "<saveworkspace> field \"colour\" is not one of its own",
                              "<screenpos> left \"x\" is no whole number", "<window> means nothing here"}));
  for (const char* file :
       {"<settings />", "", " \r\n", "<settings><alwaysontop value=\"true\" /></settings>"}) {
    write("settings.xml", file);
    LoadNotes none;
    m_settings.Load(settingsFile(), &none);
    EXPECT_TRUE(none.empty()) << file;
  }
  for (const char* file : {"<settingsX><alwaysontop value=\"true\" /></settingsX>", "garbage"}) {
    write("settings.xml", file);
    LoadNotes root;
    m_settings.Load(settingsFile(), &root);
    EXPECT_EQ(root.size(), 1u) << file;
  }
}

TEST_F(SettingsTest, FailedSaveKeepsOldFile) {
  m_settings.Init(settingsFile());
  const std::string before = read("settings.xml");
  m_settings.setSettingValue(0, true);
  withFullDisk([&] { EXPECT_THROW(m_settings.Save(settingsFile()), EFCreateError); });
  EXPECT_EQ(read("settings.xml"), before);
}

}  // namespace
}  // namespace ormel
