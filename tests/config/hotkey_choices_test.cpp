#include "config/hotkey_choices.h"

#include <gtest/gtest.h>

#include <sstream>

#include "config/headless_window.h"
#include "config/shortcut_text.h"
#include "support/row_name.h"
#include "support/window_actions.h"

namespace ormel {
namespace {

using testing_support::RowName;
using testing_support::windowActions;

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> result;
  for (std::string word; in >> word;) result.push_back(word);
  return result;
}

TEST(HotkeyChoices, AreTheOfferedTextsInPlainTextOrder) {
  const std::vector<std::string> expected = words(
      "Alt+A Alt+B Alt+C Alt+D Alt+E Alt+F Alt+G Alt+H Alt+I Alt+J Alt+K Alt+L Alt+M Alt+N Alt+O Alt+P Alt+Q "
      "Alt+R Alt+S Alt+T Alt+U Alt+V Alt+W Alt+X Alt+Y Alt+Z Ctrl+A Ctrl+Alt+A Ctrl+Alt+B Ctrl+Alt+C "
      "Ctrl+Alt+D "
      "Ctrl+Alt+E Ctrl+Alt+F Ctrl+Alt+G Ctrl+Alt+H Ctrl+Alt+I Ctrl+Alt+J Ctrl+Alt+K Ctrl+Alt+L Ctrl+Alt+M "
      "Ctrl+Alt+N Ctrl+Alt+O Ctrl+Alt+P Ctrl+Alt+Q Ctrl+Alt+R Ctrl+Alt+S Ctrl+Alt+T Ctrl+Alt+U Ctrl+Alt+V "
      "Ctrl+Alt+W Ctrl+Alt+X Ctrl+Alt+Y Ctrl+Alt+Z Ctrl+B Ctrl+C Ctrl+D Ctrl+E Ctrl+F Ctrl+F1 Ctrl+F10 "
      "Ctrl+F11 "
      "Ctrl+F12 Ctrl+F2 Ctrl+F3 Ctrl+F4 Ctrl+F5 Ctrl+F6 Ctrl+F7 Ctrl+F8 Ctrl+F9 Ctrl+G Ctrl+H Ctrl+I Ctrl+J "
      "Ctrl+K Ctrl+L Ctrl+M Ctrl+N Ctrl+O Ctrl+P Ctrl+Q Ctrl+R Ctrl+S Ctrl+T Ctrl+U Ctrl+V Ctrl+W Ctrl+X "
      "Ctrl+Y "
      "Ctrl+Z Esc F1 F10 F11 F12 F2 F3 F4 F5 F6 F7 F8 F9 Ins Shift+Ctrl+F1 Shift+Ctrl+F10 Shift+Ctrl+F11 "
      "Shift+Ctrl+F12 Shift+Ctrl+F2 Shift+Ctrl+F3 Shift+Ctrl+F4 Shift+Ctrl+F5 Shift+Ctrl+F6 Shift+Ctrl+F7 "
      "Shift+Ctrl+F8 Shift+Ctrl+F9 Shift+F1 Shift+F10 Shift+F11 Shift+F12 Shift+F2 Shift+F3 Shift+F4 "
      "Shift+F5 "
      "Shift+F6 Shift+F7 Shift+F8 Shift+F9 Tab");
  ASSERT_EQ(expected.size(), 129U);
  EXPECT_EQ(hotkeyChoices(), expected);
}

TEST(HotkeyChoices, EachReadsBackToAKeyWrittenTheSameWay) {
  for (const std::string& choice : hotkeyChoices()) {
    const ShortCut code = textToShortCut(choice);
    EXPECT_NE(code, 0) << choice;
    EXPECT_EQ(shortCutToText(code), choice);
  }
}

TEST(HotkeyLines, ListTheChangeableCommandsAlphabetically) {
  const std::vector<HotkeyLine> expected{{"Check For Update", 5}, {"Clear Screen", 0}, {"Clear Variables", 1},
                                         {"Open Sheet", 3},       {"Quit", 4},         {"Save Sheet As", 2}};
  EXPECT_EQ(hotkeyLines(windowActions()), expected);
}

TEST(HotkeyLines, TakeOnlyTheExactCategoryAndSortWithoutRegardToCase) {
  const MemoryActionList actions({{"beta", "ormelCuts", "", 0},
                                  {"Alpha", "ormelCuts", "", 0},
                                  {"Gamma", "ormelcuts", "", 0},
                                  {"Delta", "ormelCuts ", "", 0}});
  const std::vector<HotkeyLine> expected{{"Alpha", 1}, {"beta", 0}};
  EXPECT_EQ(hotkeyLines(actions), expected);
}

struct ChangeRow {
  std::string name;
  std::string text;
  ShortCut code;
};

class SetShortCutByCaption : public testing::TestWithParam<ChangeRow> {};

TEST_P(SetShortCutByCaption, FollowsTheText) {
  MemoryActionList actions = windowActions();
  setShortCutByCaption(actions, "Clear Screen", GetParam().text);
  EXPECT_EQ(actions.shortCut(0), GetParam().code);
  EXPECT_EQ(actions.shortCut(1), 112) << "another action kept its key";
}

INSTANTIATE_TEST_SUITE_P(Rows, SetShortCutByCaption,
                         testing::Values(ChangeRow{"Chosen", "Ctrl+Q", kCtrlBit | 'Q'},
                                         ChangeRow{"TypedInSmallLetters", "shift+f5", kShiftBit | 116},
                                         ChangeRow{"ModifierOnly", "Ctrl+", 0}, ChangeRow{"Emptied", "", 0},
                                         ChangeRow{"NoKeyName", "Ctrl+Banana", 0},
                                         ChangeRow{"SameKeyAsAnother", "F1", 112}),
                         RowName{});

TEST(SetShortCutByCaption, SetsEveryActionOfThatCaptionAndNoOther) {
  MemoryActionList actions({{"Quit", "ormelCuts", "", 0}, {"quit", "ormelCuts", "", 0}, {"Quit", "", "", 0}});
  setShortCutByCaption(actions, "Quit", "Ctrl+Q");
  EXPECT_EQ(actions.shortCut(0), kCtrlBit | 'Q');
  EXPECT_EQ(actions.shortCut(1), 0);
  EXPECT_EQ(actions.shortCut(2), kCtrlBit | 'Q');
}

}  // namespace
}  // namespace ormel
