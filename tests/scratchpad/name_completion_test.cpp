#include "scratchpad/name_completion.h"

#include <gtest/gtest.h>

#include <clocale>

#include "support/row_name.h"
#include "support/scratch_pad_fixture.h"

namespace ormel {
namespace {

using testing_support::ScratchPadFixture;

struct PrefixCase {
  const char* name;
  const char* line;
  int caret;
  std::optional<NamePrefix> prefix;
};

class NamePrefixTest : public testing::TestWithParam<PrefixCase> {};

TEST_P(NamePrefixTest, OffersOnlyANameBeingTyped) {
  EXPECT_EQ(namePrefixAt(GetParam().line, GetParam().caret), GetParam().prefix);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NamePrefixTest,
    testing::Values(PrefixCase{"twoLetters", "si", 2, NamePrefix{0, 2, "si"}},
                    PrefixCase{"oneLetterIsTooFew", "s", 1, std::nullopt},
                    PrefixCase{"afterAnOperator", "2*LOG1", 6, NamePrefix{2, 4, "LOG1"}},
                    PrefixCase{"underscoreStartsAName", "_ab", 3, NamePrefix{0, 3, "_ab"}},
                    PrefixCase{"insideANumber", "1E5", 3, std::nullopt},
                    PrefixCase{"digitsBeforeTheLetters", "2DI", 3, std::nullopt},
                    PrefixCase{"afterADecimalPoint", "0.EE", 4, std::nullopt},
                    PrefixCase{"hexConstant", "$FF", 3, std::nullopt},
                    PrefixCase{"caretInsideAWord", "SINH", 2, std::nullopt},
                    PrefixCase{"caretBeforeABracket", "SI(1)", 2, NamePrefix{0, 2, "SI"}},
                    PrefixCase{"afterTheAnswerOfALine", " 5+ma", 5, NamePrefix{3, 2, "ma"}},
                    PrefixCase{"columnsCountUtf16Units", "\xF0\x9F\x98\x80+co", 5, NamePrefix{3, 2, "co"}},
                    PrefixCase{"caretPastTheEnd", "co", 9, NamePrefix{0, 2, "co"}}),
    testing_support::RowName());

class NameCompletionTest : public testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }
  std::vector<std::string> labelsFor(std::string_view prefix) const {
    std::vector<std::string> labels;
    for (const NameCompletion& choice : completionsFor(m_pad.parser, prefix)) labels.push_back(choice.label);
    return labels;
  }
  ScratchPadFixture m_pad;
};

TEST_F(NameCompletionTest, ListsVariablesAndFunctionsThatBeginWithThePrefix) {
  m_pad.parser.SetVariable("MAXIMUM", 0.5L);
  m_pad.parser.SetVariable("MAX", 12);
  EXPECT_EQ(labelsFor("ma"), (std::vector<std::string>{"MAX = 12", "MAX [2 Arg]", "MAXIMUM = 0.5"}));
  EXPECT_EQ(labelsFor("SINH"), (std::vector<std::string>{"SINH [1 Arg]"}));
  EXPECT_EQ(labelsFor("LOGN"), (std::vector<std::string>{"LOGN [2 Arg]"}));
  EXPECT_TRUE(labelsFor("QQ").empty());
  EXPECT_EQ(labelsFor("SI"), (std::vector<std::string>{"SIGN [1 Arg]", "SIN [1 Arg]", "SINH [1 Arg]"}));
}

struct AcceptCase {
  const char* name;
  const char* line;
  int caret;
  bool variable;
  const char* text;
  int caretAfter;
};

class AcceptCompletionTest : public NameCompletionTest, public testing::WithParamInterface<AcceptCase> {};

TEST_P(AcceptCompletionTest, PutsTheChoiceInPlaceOfThePrefix) {
  const AcceptCase& row = GetParam();
  m_pad.parser.SetVariable("SIDE", 3);
  NameCompleter completer(m_pad.pad, m_pad.parser, [&](const std::string& text, bool isFunction) {
    m_pad.logic->pasteVariable(text, isFunction);
  });
  m_pad.pad.setSelText(row.line);
  m_pad.pad.setSelStart(row.caret);
  const std::vector<NameCompletion> choices = completer.choicesAtCaret();
  ASSERT_FALSE(choices.empty());
  const auto choice = std::find_if(choices.begin(), choices.end(),
                                   [&](const NameCompletion& c) { return c.isFunction != row.variable; });
  ASSERT_NE(choice, choices.end());
  completer.accept(*choice);
  EXPECT_EQ(m_pad.pad.text(), row.text);
  EXPECT_EQ(m_pad.pad.selStart(), row.caretAfter);
  const Color colour = row.variable ? m_pad.regExpColor()
                                    : m_pad.prefs.getSettingValue("FunctionColor").toInteger().value_or(-1);
  EXPECT_EQ(m_pad.pad.styleAt(row.caret - 1).color, static_cast<Color>(colour));
  // What is typed next is expression text, whatever stands before the caret.
  EXPECT_EQ(m_pad.pad.selAttributes(), (CharStyle{m_pad.regExpColor(), true}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AcceptCompletionTest,
    testing::Values(AcceptCase{"functionGoesInWithItsBrackets", "2*si", 4, false, "2*SIGN()", 7},
                    AcceptCase{"variableByItsName", "2*si+1", 4, true, "2*SIDE+1", 6},
                    AcceptCase{"bracketThatFollowsIsKept", "si(1)", 2, false, "SIGN(1)", 5}),
    testing_support::RowName());

TEST_F(NameCompletionTest, NothingIsOfferedOrReplacedWithoutANameAtTheCaret) {
  NameCompleter completer(m_pad.pad, m_pad.parser, [&](const std::string&, bool) { FAIL() << "pasted"; });
  m_pad.pad.setSelText("12+3");
  EXPECT_TRUE(completer.choicesAtCaret().empty());
  completer.accept(NameCompletion{"SIN", "SIN [1 Arg]", true});
  m_pad.pad.setSelText("\nsi");
  m_pad.pad.setSelStart(5);
  m_pad.pad.setSelLength(2);
  EXPECT_TRUE(completer.choicesAtCaret().empty());
  EXPECT_EQ(m_pad.pad.text(), "12+3\nsi");
}

}  // namespace
}  // namespace ormel
