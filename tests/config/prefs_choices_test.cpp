#include "config/prefs_choices.h"

#include <gtest/gtest.h>

#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::RowName;

TEST(DecimalPlacesEntries, AreTheTwentyFiveChoicesInOrder) {
  std::vector<std::string> expected;
  for (int i = 0; i <= 20; ++i) expected.push_back(std::to_string(i));
  for (const char* more : {"30", "50", "100", "1000"}) expected.emplace_back(more);
  EXPECT_EQ(decimalPlacesEntries(), expected);
}

struct EntryRow {
  std::string name;
  SettingValue value;
  int index;
};

class DecimalPlacesEntryIndex : public testing::TestWithParam<EntryRow> {};

TEST_P(DecimalPlacesEntryIndex, ComparesAsSettingValues) {
  EXPECT_EQ(decimalPlacesEntryIndex(GetParam().value), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Rows, DecimalPlacesEntryIndex,
                         testing::Values(EntryRow{"BuiltInByte", std::uint8_t{3}, 3},
                                         EntryRow{"TextFromFile", "3", 3},
                                         EntryRow{"IntegerFromDialog", 1000, 24}, EntryRow{"Thirty", 30, 21},
                                         EntryRow{"Zero", "0", 0}, EntryRow{"BetweenEntries", 25, -1},
                                         EntryRow{"Negative", -1, -1}, EntryRow{"NotANumber", "three", -1}),
                         RowName{});

struct SeparatorRow {
  std::string name;
  std::string text;
  /// A word the refusal names, or empty when the separator is allowed.
  std::string reason;
};

class DecimalSeparatorRefusal : public testing::TestWithParam<SeparatorRow> {};

TEST_P(DecimalSeparatorRefusal, RefusesWhatWouldBreakLines) {
  const std::optional<std::string> refusal = decimalSeparatorRefusal(GetParam().text);
  if (GetParam().reason.empty()) {
    EXPECT_FALSE(refusal) << *refusal;
  } else {
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find(GetParam().reason), std::string::npos) << *refusal;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DecimalSeparatorRefusal,
    testing::Values(SeparatorRow{"Point", ".", ""}, SeparatorRow{"Comma", ",", ""},
                    SeparatorRow{"Apostrophe", "'", ""}, SeparatorRow{"DoubleQuote", "\"", ""},
                    SeparatorRow{"Semicolon", ";", ""}, SeparatorRow{"Underscore", "_", ""},
                    SeparatorRow{"MiddleDot", "\xC2\xB7", ""}, SeparatorRow{"ArabicComma", "\xD8\x8C", ""},
                    SeparatorRow{"Digit", "5", "digit"}, SeparatorRow{"Zero", "0", "digit"},
                    SeparatorRow{"Letter", "a", "letter"}, SeparatorRow{"ExponentLetter", "E", "letter"},
                    SeparatorRow{"Blank", " ", "blank"}, SeparatorRow{"NoBreakSpace", "\xC2\xA0", "blank"},
                    SeparatorRow{"Tab", "\t", "control"}, SeparatorRow{"Delete", "\x7F", "control"},
                    SeparatorRow{"C1Control", "\xC2\x85", "control"}, SeparatorRow{"Plus", "+", "operator"},
                    SeparatorRow{"Minus", "-", "operator"}, SeparatorRow{"Times", "*", "operator"},
                    SeparatorRow{"Slash", "/", "operator"}, SeparatorRow{"Caret", "^", "operator"},
                    SeparatorRow{"OpenBracket", "(", "bracket"}, SeparatorRow{"CloseBracket", ")", "bracket"},
                    SeparatorRow{"SquareBracket", "[", "bracket"}, SeparatorRow{"Dollar", "$", "hexadecimal"},
                    SeparatorRow{"Equals", "=", "assigns"}, SeparatorRow{"Empty", "", "single"},
                    SeparatorRow{"TwoCharacters", ".,", "single"},
                    SeparatorRow{"BrokenUtf8", "\xFF", "single"}),
    RowName{});

}  // namespace
}  // namespace ormel
