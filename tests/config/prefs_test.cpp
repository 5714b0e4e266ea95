#include "config/prefs.h"

#include <gtest/gtest.h>

#include <array>

#include "base/exceptions.h"
#include "config/headless_window.h"
#include "config/temp_folder.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::RowName;
using testing_support::TempFolderTest;

class RecordingMessageBox : public MessageBox {
 public:
  void showMessage(const std::string& text) override { shown.push_back(text); }
  bool askYesNo(const std::string& text) override {
    shown.push_back(text);
    return false;
  }
  void showError(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

constexpr const char* kFirstRunFile =
    "<preferences>\r\n"
    " <regexpcolor value=\"16777215\" value2=\"\" />\r\n"
    " <answercolor value=\"65535\" value2=\"\" />\r\n"
    " <functioncolor value=\"255\" value2=\"\" />\r\n"
    " <backgroundcolor value=\"0\" value2=\"\" />\r\n"
    " <selectedfont value=\"Verdana\" value2=\"\" />\r\n"
    " <cursorplacement value=\"1\" value2=\"\" />\r\n"
    " <decimalplaces value=\"3\" value2=\"\" />\r\n"
    " <decimalseparator value=\".\" value2=\"\" />\r\n"
    "</preferences>\r\n";

class PrefsTest : public TempFolderTest {
 protected:
  std::string prefsFile() const { return path("prefs.xml"); }
  void initAndLoad(const std::string& content) {
    write("prefs.xml", content);
    m_prefs.Init(prefsFile());
    m_prefs.Load(prefsFile());
  }
  HeadlessWindow m_window;
  RecordingMessageBox m_messages;
  TOrmelPrefs m_prefs{m_window, m_messages};
};

TEST_F(PrefsTest, FirstRunWritesDefaults) {
  m_prefs.Init(prefsFile());
  EXPECT_EQ(read("prefs.xml"), kFirstRunFile);
  EXPECT_EQ(m_prefs.count(), 8);
  EXPECT_EQ(m_prefs.getSettingValue("DecimalPlaces").kind(), SettingValue::Kind::Byte);
  EXPECT_EQ(m_prefs.getSettingValue("AnswerColor").kind(), SettingValue::Kind::Integer);
  EXPECT_EQ(m_prefs.getSettingValue("SelectedFont"), SettingValue("Verdana"));
  m_prefs.Load(prefsFile());
  m_prefs.Save(prefsFile());
  EXPECT_EQ(read("prefs.xml"), kFirstRunFile) << "loading and saving the defaults changes nothing";
}

TEST_F(PrefsTest, Lookups) {
  m_prefs.Init(prefsFile());
  EXPECT_EQ(m_prefs.getSettingValue("decimalseparator"), m_prefs.getSettingValue("DecimalSeparator"));
  EXPECT_EQ(m_prefs.getSettingValue("NoSuchPref"), SettingValue(""));
  EXPECT_EQ(m_prefs.getSettingValue("NoSuchPref").kind(), SettingValue::Kind::Text);

  TOrmelPref record;
  m_prefs.getSetting("NoSuchPref", record);
  EXPECT_EQ(record.name, "not found");
  m_prefs.getSetting("CURSORPLACEMENT", record);
  EXPECT_EQ(record.name, "CursorPlacement");
  EXPECT_EQ(record.caption, "Cursor Placement");
  EXPECT_EQ(record.value.toInteger(), 1);
  EXPECT_TRUE(record.defaultValue2.isEmpty());

  EXPECT_TRUE(m_messages.shown.empty());
  EXPECT_EQ(m_prefs.getSettingIndex("NoSuchPref"), -1);
  EXPECT_EQ(m_messages.shown, std::vector<std::string>{"invalid setting!"});
  EXPECT_EQ(m_prefs.getSettingIndex("answercolor"), 1);
  EXPECT_EQ(m_messages.shown.size(), 1u);

  m_prefs.setSettingValue("NoSuchPref", 5);
  m_prefs.setSettingValue("decimalplaces", 7);
  EXPECT_EQ(m_prefs.getSettingValue("DecimalPlaces"), SettingValue(7));
}

TEST_F(PrefsTest, LoadMatchesElementsWithoutCaseAndFieldsExactly) {
  initAndLoad(
      "<Preferences><RegExpColor value=\"255\"/><answercolor Value=\"1\"/>"
      "<functioncolor value=\"12\" value2=\"abc\"/><unknown value=\"1\"/>"
      "<decimalseparator value=\",\"/><decimalseparator value=\"&quot;\"/></Preferences>");
  EXPECT_EQ(m_prefs.getSettingValue("RegExpColor"), SettingValue("255"));
  EXPECT_EQ(m_prefs.getSettingValue("RegExpColor").kind(), SettingValue::Kind::Text);
  EXPECT_EQ(m_prefs.getSettingValue("AnswerColor").toInteger(), 65535) << "a field written Value is not read";
  EXPECT_EQ(m_prefs.getSettingValue("BackgroundColor").toInteger(), 0) << "missing entries keep defaults";
  EXPECT_EQ(m_prefs.getSettingValue("DecimalSeparator"), SettingValue("\"")) << "the later duplicate wins";

  m_prefs.Save(prefsFile());
  const std::string saved = read("prefs.xml");
  EXPECT_NE(saved.find("<functioncolor value=\"12\" value2=\"abc\" />"), std::string::npos);
  EXPECT_NE(saved.find("<answercolor value=\"65535\" value2=\"\" />"), std::string::npos);
  EXPECT_NE(saved.find("<decimalseparator value=\"&quot;\" value2=\"\" />"), std::string::npos);

  HeadlessWindow window;
  TOrmelPrefs again(window, m_messages);
  again.Init(prefsFile());
  again.Load(prefsFile());
  EXPECT_EQ(again.getSettingValue("DecimalSeparator"), SettingValue("\"")) << "a typed quote survives";
}

struct RefusalRow {
  std::string name;
  std::string key;
  std::string value;
  bool accepted;
};

class PrefsValueCheck : public PrefsTest, public testing::WithParamInterface<RefusalRow> {};

TEST_P(PrefsValueCheck, AtLoad) {
  const SettingValue before = [&] {
    m_prefs.Init(prefsFile());
    return m_prefs.getSettingValue(GetParam().key);
  }();
  write("prefs.xml",
        "<preferences><" + GetParam().key + " value=\"" + GetParam().value + "\"/></preferences>");
  LoadNotes notes;
  m_prefs.Load(prefsFile(), &notes);
  EXPECT_EQ(m_prefs.getSettingValue(GetParam().key),
            GetParam().accepted ? SettingValue(GetParam().value) : before);
  // A refused value would be lost at the next save: it is noted so that the file is kept aside.
  EXPECT_EQ(notes.size(), GetParam().accepted ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Rows, PrefsValueCheck,
                         testing::Values(RefusalRow{"ColourWhole", "AnswerColor", "255", true},
                                         RefusalRow{"ColourNegative", "AnswerColor", "-1", true},
                                         RefusalRow{"ColourFraction", "AnswerColor", "2.5", false},
                                         RefusalRow{"ColourWord", "BackgroundColor", "red", false},
                                         RefusalRow{"ColourEmpty", "RegExpColor", "", false},
                                         RefusalRow{"ColourBeyond32Bits", "FunctionColor", "4294967296",
                                                    false},
                                         RefusalRow{"CursorWord", "CursorPlacement", "end", false},
                                         RefusalRow{"PlacesWhole", "DecimalPlaces", "10", true},
                                         RefusalRow{"PlacesFraction", "DecimalPlaces", "1.5", false},
                                         RefusalRow{"FontAnyText", "SelectedFont", "DejaVu Sans", true},
                                         RefusalRow{"FontEmpty", "SelectedFont", "", true},
                                         RefusalRow{"SeparatorAnyText", "DecimalSeparator", "1.5", true}),
                         RowName{});

TEST_F(PrefsTest, ApplyPrefsPushesLookOntoScratchPad) {
  initAndLoad(
      "<preferences><backgroundcolor value=\"16711680\"/><regexpcolor value=\"65280\"/>"
      "<selectedfont value=\"DejaVu Sans Mono\"/></preferences>");
  m_prefs.ApplyPrefs();
  EXPECT_EQ(m_window.backgroundColor(), 0xFF0000);
  EXPECT_EQ(m_window.defaultTextColor(), 0x00FF00);
  EXPECT_EQ(m_window.fontFace(), "DejaVu Sans Mono");
  m_prefs.setSettingValue("BackgroundColor", 255);
  m_prefs.ApplyPrefs();
  EXPECT_EQ(m_window.backgroundColor(), 255);
}

// Each typed read must see its own key in the file, each typed write land under it: a swapped
// table would give the function colour to the answers.
TEST_F(PrefsTest, TypedAccessorsReadAndWriteTheirOwnKeys) {
  initAndLoad(
      "<preferences><regexpcolor value=\"1\"/><answercolor value=\"2\"/><functioncolor value=\"3\"/>"
      "<backgroundcolor value=\"4\"/><selectedfont value=\"Mono\"/><cursorplacement value=\"2\"/>"
      "<decimalplaces value=\"7\"/><decimalseparator value=\",\"/></preferences>");
  const std::array<std::pair<ColorPref, Color>, 4> colors{
      {{ColorPref::RegExp, 1}, {ColorPref::Answer, 2}, {ColorPref::Function, 3}, {ColorPref::Background, 4}}};
  for (const auto& [which, expected] : colors) {
    EXPECT_EQ(m_prefs.color(which), expected) << static_cast<int>(which);
    m_prefs.setColor(which, expected + 100);
    EXPECT_EQ(m_prefs.getSettingValue(kColorPrefs[static_cast<std::size_t>(expected - 1)].key),
              SettingValue(expected + 100));
  }
  EXPECT_EQ(m_prefs.selectedFont(), "Mono");
  EXPECT_EQ(m_prefs.cursorPlacement(), 2);
  EXPECT_EQ(m_prefs.decimalPlaces(), 7);
  EXPECT_EQ(m_prefs.decimalSeparator(), ",");

  m_prefs.setSelectedFont("Serif");
  m_prefs.setCursorPlacement(0);
  m_prefs.setDecimalPlaces(20);
  m_prefs.setDecimalSeparator(";");
  EXPECT_EQ(m_prefs.getSettingValue("SelectedFont"), SettingValue("Serif"));
  EXPECT_EQ(m_prefs.getSettingValue("CursorPlacement").kind(), SettingValue::Kind::Integer);
  EXPECT_EQ(m_prefs.getSettingValue("CursorPlacement"), SettingValue(0));
  EXPECT_EQ(m_prefs.getSettingValue("DecimalPlaces"), SettingValue(20));
  EXPECT_EQ(m_prefs.getSettingValue("DecimalSeparator"), SettingValue(";"));
}

TEST_F(PrefsTest, DefaultColoursAndLimitedWholeNumbers) {
  initAndLoad(
      "<preferences><answercolor value=\"9\"/><decimalplaces value=\"2000000000\"/>"
      "<cursorplacement value=\"-7\"/></preferences>");
  for (const ColorPrefEntry& entry : kColorPrefs)
    EXPECT_EQ(m_prefs.defaultColor(entry.which), entry.defaultColor);
  EXPECT_EQ(m_prefs.color(ColorPref::Answer), 9);
  EXPECT_EQ(m_prefs.decimalPlaces(), 1 << 20);
  EXPECT_EQ(m_prefs.cursorPlacement(), -1);
}

TEST_F(PrefsTest, ForeignOrMissingFileChangesNothing) {
  initAndLoad("<settings><answercolor value=\"1\"/></settings>");
  EXPECT_EQ(m_prefs.getSettingValue("AnswerColor").toInteger(), 65535);
  write("prefs.xml", "not xml at all");
  m_prefs.Load(prefsFile());
  m_prefs.Load(path("missing.xml"));
  EXPECT_EQ(m_prefs.getSettingValue("AnswerColor").toInteger(), 65535);
}

TEST_F(PrefsTest, FailedSaveKeepsOldFile) {
  m_prefs.Init(prefsFile());
  m_prefs.setSettingValue("SelectedFont", "Other");
  withFullDisk([&] { EXPECT_THROW(m_prefs.Save(prefsFile()), EFCreateError); });
  EXPECT_EQ(read("prefs.xml"), kFirstRunFile);
}

}  // namespace
}  // namespace ormel
