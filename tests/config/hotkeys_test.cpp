#include "config/hotkeys.h"

#include <gtest/gtest.h>

#include "config/headless_window.h"
#include "config/shortcut_text.h"
#include "config/temp_folder.h"
#include "support/window_actions.h"

namespace ormel {
namespace {

using testing_support::kDefaultHotkeysFile;
using testing_support::TempFolderTest;

class HotKeysTest : public TempFolderTest {
 protected:
  std::string hotkeysFile() const { return path("hotkeys.xml"); }
  ShortCut shortCutOf(const std::string& caption) const {
    for (const auto& action : m_actions.actions()) {
      if (action.caption == caption) return action.shortCut;
    }
    ADD_FAILURE() << caption;
    return 0;
  }
  void load(const std::string& content) {
    write("hotkeys.xml", content);
    m_store.Load(hotkeysFile(), m_actions);
  }

  int indexOf(const std::string& caption) const {
    for (int i = 0; i < m_actions.count(); ++i) {
      if (m_actions.caption(i) == caption) return i;
    }
    ADD_FAILURE() << caption;
    return 0;
  }

  // The window's actions and one whose category differs only in letter case, which is never saved.
  MemoryActionList m_actions = [] {
    std::vector<MemoryActionList::Action> actions = testing_support::windowActions().actions();
    actions.insert(actions.begin() + 2, {"Copy", "OrmelCuts", "", 0});
    return MemoryActionList(std::move(actions));
  }();
  TOrmelHotKeys m_store;
};

TEST_F(HotKeysTest, DefaultsSaveExactlyAndLoadUnchanged) {
  m_store.Save(hotkeysFile(), m_actions);
  EXPECT_EQ(read("hotkeys.xml"), kDefaultHotkeysFile);
  const auto before = m_actions.actions();
  m_store.Load(hotkeysFile(), m_actions);
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(m_actions.actions()[i].shortCut, before[i].shortCut);
}

TEST_F(HotKeysTest, LoadSetsShortcutsByExactCaption) {
  load(
      "<HotKeys><hotkey name=\"Quit\" hotkey=\"ctrl+q\"/><hotkey name=\"quit\" hotkey=\"F9\"/>"
      "<hotkey name=\"Clear Screen\" hotkey=\"\"/><hotkey name=\"Clear Variables\"/>"
      "<hotkey name=\"Preferences\" hotkey=\"^F9\"/><hotkey name=\"Open Sheet\" hotkey=\"F5\"/>"
      "<hotkey name=\"Open Sheet\" hotkey=\"Alt+Shift+A\"/><hotkey name=\"Save Sheet As\" "
      "hotkey=\"Nonsense\"/>"
      "<other name=\"Check For Update\" hotkey=\"F4\"/></HotKeys>");
  EXPECT_EQ(shortCutOf("Quit"), kCtrlBit | 'Q');
  EXPECT_EQ(shortCutOf("Clear Screen"), 0);
  EXPECT_EQ(shortCutOf("Clear Variables"), 0) << "a missing hotkey removes the shortcut";
  EXPECT_EQ(shortCutOf("Preferences"), kCtrlBit | 120) << "any category is set";
  EXPECT_EQ(shortCutOf("Open Sheet"), kShiftBit | kAltBit | 'A') << "the later entry wins";
  EXPECT_EQ(shortCutOf("Save Sheet As"), 0);
  EXPECT_EQ(shortCutOf("Check For Update"), 0) << "only hotkey elements are read";

  m_store.Save(hotkeysFile(), m_actions);
  EXPECT_EQ(read("hotkeys.xml"),
            "<hotkeys>\r\n"
            " <hotkey name=\"Clear Screen\" hotkey=\"\" />\r\n"
            " <hotkey name=\"Clear Variables\" hotkey=\"\" />\r\n"
            " <hotkey name=\"Save Sheet As\" hotkey=\"\" />\r\n"
            " <hotkey name=\"Open Sheet\" hotkey=\"Shift+Alt+A\" />\r\n"
            " <hotkey name=\"Quit\" hotkey=\"Ctrl+Q\" />\r\n"
            " <hotkey name=\"Check For Update\" hotkey=\"\" />\r\n"
            "</hotkeys>\r\n");
}

TEST_F(HotKeysTest, EntriesTheNextSaveWouldNotKeepAreNoted) {
  write("hotkeys.xml",
        "<hotkeys><hotkey name=\"Quit\" hotkey=\"Ctrl+Q\"/><hotkey name=\"Quit\" hotkey=\"\"/>"
        "<hotkey name=\"Save Sheet As\" hotkey=\"Nonsense\"/><hotkey name=\"Preferences\" hotkey=\"F9\"/>"
        "<hotkey name=\"Qiut\" hotkey=\"F4\"/><other name=\"Quit\"/></hotkeys>");
  LoadNotes notes;
  m_store.Load(hotkeysFile(), m_actions, &notes);
  EXPECT_EQ(notes, (LoadNotes{"\"Nonsense\" names no key", "no command has the name \"Preferences\"",
                              "no command has the name \"Qiut\"", "<other> means nothing here"}));
  m_store.Save(hotkeysFile(), m_actions);
  LoadNotes again;
  m_store.Load(hotkeysFile(), m_actions, &again);
  EXPECT_TRUE(again.empty()) << "what the store writes it reads back whole";
}

TEST_F(HotKeysTest, KeypadDigitReadsBackAsMainDigit) {
  m_actions.setShortCut(indexOf("Quit"), kCtrlBit | (96 + 4));
  m_store.Save(hotkeysFile(), m_actions);
  EXPECT_NE(read("hotkeys.xml").find("<hotkey name=\"Quit\" hotkey=\"Ctrl+4\" />"), std::string::npos);
  m_store.Load(hotkeysFile(), m_actions);
  EXPECT_EQ(shortCutOf("Quit"), kCtrlBit | '4');
}

TEST_F(HotKeysTest, NoFileOrForeignRootChangesNothing) {
  m_store.Load(hotkeysFile(), m_actions);
  load("<settings><hotkey name=\"Clear Screen\" hotkey=\"\"/></settings>");
  EXPECT_EQ(shortCutOf("Clear Screen"), 27);
  EXPECT_FALSE(fileExists(path("other.xml"))) << "loading writes nothing";
}

}  // namespace
}  // namespace ormel
