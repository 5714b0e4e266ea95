#include "config/shortcut_text.h"

#include <gtest/gtest.h>

#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::RowName;

struct ToTextRow {
  std::string name;
  ShortCut code;
  std::string text;
};

class ShortCutToText : public testing::TestWithParam<ToTextRow> {};

TEST_P(ShortCutToText, Writes) { EXPECT_EQ(shortCutToText(GetParam().code), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Rows, ShortCutToText,
    testing::Values(
        ToTextRow{"None", 0, ""}, ToTextRow{"Esc", 27, "Esc"}, ToTextRow{"BkSp", 8, "BkSp"},
        ToTextRow{"Tab", 9, "Tab"}, ToTextRow{"Enter", 13, "Enter"}, ToTextRow{"Space", 32, "Space"},
        ToTextRow{"PgUp", 33, "PgUp"}, ToTextRow{"Down", 40, "Down"}, ToTextRow{"Ins", 45, "Ins"},
        ToTextRow{"Del", 46, "Del"}, ToTextRow{"Digit", '7', "7"}, ToTextRow{"Letter", 'Q', "Q"},
        ToTextRow{"KeypadDigitIsBare", 96 + 5, "5"}, ToTextRow{"F1", 112, "F1"}, ToTextRow{"F24", 135, "F24"},
        ToTextRow{"KeypadStar", 106, "Num *"}, ToTextRow{"Pause", 19, "Pause"},
        ToTextRow{"UnassignedCode", 10, "Key 10"},
        ToTextRow{"CtrlAltQ", kCtrlBit | kAltBit | 'Q', "Ctrl+Alt+Q"},
        ToTextRow{"ShiftCtrlF5", kShiftBit | kCtrlBit | 116, "Shift+Ctrl+F5"},
        ToTextRow{"AllModifiersInOrder", kAltBit | kShiftBit | kCtrlBit | 'A', "Shift+Ctrl+Alt+A"},
        ToTextRow{"MouseButtonHasNoName", kCtrlBit | 1, ""}, ToTextRow{"ModifiersWithoutKey", kShiftBit, ""}),
    RowName{});

struct FromTextRow {
  std::string name;
  std::string text;
  ShortCut code;
};

class TextToShortCut : public testing::TestWithParam<FromTextRow> {};

TEST_P(TextToShortCut, Reads) { EXPECT_EQ(textToShortCut(GetParam().text), GetParam().code); }

INSTANTIATE_TEST_SUITE_P(Rows, TextToShortCut,
                         testing::Values(FromTextRow{"Empty", "", 0}, FromTextRow{"Esc", "Esc", 27},
                                         FromTextRow{"AnyCase", "ctrl+q", kCtrlBit | 'Q'},
                                         FromTextRow{"CaretIsCtrl", "^F9", kCtrlBit | 120},
                                         FromTextRow{"AnyOrder", "Alt+Shift+A", kShiftBit | kAltBit | 'A'},
                                         FromTextRow{"RepeatedPrefix", "Ctrl+^Ctrl+X", kCtrlBit | 'X'},
                                         FromTextRow{"OnlyModifiers", "Shift+Ctrl+", 0},
                                         FromTextRow{"UnknownKey", "Ctrl+Banana", 0},
                                         FromTextRow{"DigitIsMainKeyboard", "5", '5'},
                                         FromTextRow{"NameIsWhole", "Es", 0},
                                         FromTextRow{"OwnNameReadsBack", "shift+num *", kShiftBit | 106},
                                         FromTextRow{"KeyNamedLikeAModifier", "Ctrl+Shift", kCtrlBit | 16},
                                         FromTextRow{"OemKey", "Ctrl+-", kCtrlBit | 189},
                                         FromTextRow{"ModifierWithoutPlusIsNoPrefix", "CtrlQ", 0},
                                         FromTextRow{"BlankIsNoName", " Esc", 0}),
                         RowName{});

TEST(ShortCutText, EveryNamedCodeReadsBackWithEveryModifier) {
  for (int key = 8; key < 256; ++key) {
    const bool keypadDigit = key >= 96 && key <= 105;
    for (const int modifiers : {0, 0x2000, 0x4000, 0x8000, 0xE000}) {
      const auto code = static_cast<ShortCut>(modifiers | key);
      const std::string text = shortCutToText(code);
      ASSERT_FALSE(text.empty()) << key;
      const ShortCut expected = keypadDigit ? static_cast<ShortCut>(modifiers | ('0' + key - 96)) : code;
      EXPECT_EQ(textToShortCut(text), expected) << text;
    }
  }
}

}  // namespace
}  // namespace ormel
