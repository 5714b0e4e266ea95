#include "scratchpad/main_window_logic.h"

#include <gtest/gtest.h>

#include <clocale>

#include "support/row_name.h"
#include "support/scratch_pad_fixture.h"

namespace ormel {
namespace {

using testing_support::ScratchPadFixture;

constexpr int kAnyCaret = -2;

struct LineCase {
  const char* name;
  const char* typed;
  const char* text;
  int caret = kAnyCaret;
  const char* status = "Ready";
  const char* alert = "";
  int decimalPlaces = 3;
  const char* separator = ".";
  int placement = 1;
};

class LineEvaluationTest : public testing::TestWithParam<LineCase> {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

TEST_P(LineEvaluationTest, WritesTheAnswerBelowTheLine) {
  const LineCase& row = GetParam();
  ScratchPadFixture pad;
  pad.prefs.setSettingValue("DecimalPlaces", row.decimalPlaces);
  pad.prefs.setSettingValue("DecimalSeparator", row.separator);
  pad.prefs.setSettingValue("CursorPlacement", row.placement);
  pad.type(row.typed);
  EXPECT_EQ(pad.pad.text(), row.text);
  if (row.caret != kAnyCaret) {
    EXPECT_EQ(pad.pad.selStart(), row.caret);
  }
  EXPECT_EQ(pad.statusLabel.caption(), row.status);
  EXPECT_EQ(pad.alerts.empty() ? std::string() : pad.alerts.back(), row.alert);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LineEvaluationTest,
    testing::Values(
        LineCase{"sum", "2+3\r", "2+3\n 5", 6}, LineCase{"truncatedNotRounded", "2/3\r", "2/3\n 0.666"},
        LineCase{"third", "1/3\r", "1/3\n 0.333"},
        LineCase{"zeroPlacesKeepsTheSeparator", "7/2\r", "7/2\n 3.", kAnyCaret, "Ready", "", 0},
        LineCase{"plainInteger", "42\r", "42\n", 3}, LineCase{"plainNegative", "-3.5\r", "-3.5\n"},
        LineCase{"plainExponent", "1e3\r", "1e3\n"}, LineCase{"emptyLine", "\r", "\n"},
        LineCase{"blanksOnly", "   \r", "   \n"}, LineCase{"hexConstant", "$FF+1\r", "$FF+1\n 256"},
        LineCase{"loneDollar", "$\r", "$\n", kAnyCaret, "Ready", "'$' is not a valid integer value"},
        LineCase{"divisionByZero", "1/0\r", "1/0\n", kAnyCaret, "Ready", "Floating point division by zero"},
        LineCase{"compileError", "2+*\r", "2+*\n", kAnyCaret, "Parsing error"},
        LineCase{"commaSeparatorIn", "1,5*2\r", "1,5*2\n 3", kAnyCaret, "Ready", "", 3, ","},
        LineCase{"commaSeparatorOut", "1/4\r", "1/4\n 0,25", kAnyCaret, "Ready", "", 3, ","},
        LineCase{"assignment", "x = 2\r", "x = 2\n", kAnyCaret, "Set \"X\" to \"2\" successfully."},
        LineCase{"assignmentBadName", "1x = 5\r", "1x = 5\n", kAnyCaret, "Invalid variable name"},
        LineCase{"assignmentEmptyName", "=5\r", "=5\n", kAnyCaret, "Invalid variable name"},
        LineCase{"assignmentNothingAfter", "x=\r", "x=\n", kAnyCaret, "Parsing error"},
        LineCase{"variableUsedLater", "r=4\rr*2\r", "r=4\nr*2\n 8", kAnyCaret,
                 "Set \"R\" to \"4\" successfully."},
        LineCase{"scientificKeepsExponent", "1.5E-10*1\r", "1.5E-10*1\n 1.5E-10"},
        LineCase{"scientificCutInMantissa", "1.23456789*10^20\r", "1.23456789*10^20\n 1.234E20"},
        LineCase{"endOfExpression", "2+3\r", "2+3\n 5", 3, "Ready", "", 3, ".", 0},
        LineCase{"newLineAfterAnswer", "2+3\r", "2+3\n 5\n", 7, "Ready", "", 3, ".", 2},
        LineCase{"otherPlacementStaysBehindAnswer", "2+3\r", "2+3\n 5", 6, "Ready", "", 3, ".", 7},
        LineCase{"pointStartsLine", ".", "0.", 2}, LineCase{"pointAfterBracket", "(.", "(0.", 3},
        LineCase{"pointsTypedInALine", ".5+.5\r", "0.5+0.5\n 1", 10},
        LineCase{"enterBehindAnAnswerAddsNothing", "1+1\r\r2+2\r", "1+1\n 2\n2+2\n 4"}),
    testing_support::RowName());

class ScratchPadTest : public testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }
  void enterAt(int caret, KeyModifiers modifiers = {}, int key = kVkReturn) {
    m_pad.pad.setSelStart(caret);
    m_pad.pad.pressKey(key, modifiers, key == kVkReturn ? std::optional<char32_t>(U'\r') : std::nullopt);
  }
  ScratchPadFixture m_pad;
};

TEST_F(ScratchPadTest, AnswersAreBoldInTheAnswerColourAndTypingNextToThemIsNot) {
  m_pad.type("2+3\r+1");
  ASSERT_EQ(m_pad.pad.text(), "2+3\n 5+1");
  const CharStyle answer{m_pad.answerColor(), true};
  const CharStyle expression{m_pad.regExpColor(), true};
  EXPECT_EQ(m_pad.pad.styleAt(4), answer);
  EXPECT_EQ(m_pad.pad.styleAt(5), answer);
  EXPECT_EQ(m_pad.pad.styleAt(6), expression);
  EXPECT_EQ(m_pad.pad.styleAt(7), expression);
  EXPECT_EQ(m_pad.pad.styleAt(0), expression);
}

struct EnterInsideCase {
  const char* name;
  const char* line;
  int caret;
  KeyModifiers modifiers;
  int key;
  const char* text;
};

class EnterInsideTest : public ScratchPadTest, public testing::WithParamInterface<EnterInsideCase> {};

TEST_P(EnterInsideTest, FinishesTheLineAtTheCaretOrAtItsEnd) {
  m_pad.pad.setSelText(GetParam().line);
  enterAt(GetParam().caret, GetParam().modifiers, GetParam().key);
  EXPECT_EQ(m_pad.pad.text(), GetParam().text);
  EXPECT_TRUE(m_pad.alerts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EnterInsideTest,
    testing::Values(
        EnterInsideCase{"plainNumberStaysBehind", "2+3", 1, {}, kVkReturn, "2\n+3"},
        EnterInsideCase{"textMovedDownFollowsAnswer", "2+34", 3, {}, kVkReturn, "2+3\n 54"},
        EnterInsideCase{"ctrlEnterFromTheMiddle", "4*5", 1, {false, true, false}, kVkReturn, "4*5\n 20"},
        // Ctrl+Alt is AltGr for characters, yet its Enter is still Ctrl+Enter: no line break at the caret.
        EnterInsideCase{"ctrlAltEnterFromTheMiddle", "4*5", 1, {false, true, true}, kVkReturn, "4*5\n 20"},
        EnterInsideCase{"f2FromTheMiddle", "4*5", 2, {}, kVkF2, "4*5\n 20"},
        EnterInsideCase{
            "ctrlEnterAboveAnotherLine", "4*5\n9", 0, {false, true, false}, kVkReturn, "4*5\n 20\n9"}),
    testing_support::RowName());

TEST_F(ScratchPadTest, LeadingZeroFixHandlesOnePatternPerKeyRelease) {
  m_pad.pad.setSelText(".5+.");
  m_pad.logic->keyUp(0, {});
  EXPECT_EQ(m_pad.pad.text(), "0.5+.");
  EXPECT_EQ(m_pad.pad.selStart(), 5);  // one column right, the end of the line already
  m_pad.logic->keyUp(0, {});
  EXPECT_EQ(m_pad.pad.text(), "0.5+0.");
  EXPECT_EQ(m_pad.pad.selStart(), 6);
  EXPECT_FALSE(m_pad.logic->FixDecimalWithOutLeadingZero(0));
}

struct LeadingZeroCase {
  const char* name;
  const char* line;
  int caret;
  const char* text;
  int caretAfter;
};

class LeadingZeroTest : public ScratchPadTest, public testing::WithParamInterface<LeadingZeroCase> {};

// A key changes the line beside the caret only: the fix looks at the line's start and at the
// points just before and at the caret, never through the rest of the line.
TEST_P(LeadingZeroTest, GivesThePointBesideTheCaretItsZero) {
  m_pad.pad.setSelText(GetParam().line);
  m_pad.pad.setSelStart(GetParam().caret);
  const bool changed = m_pad.logic->FixDecimalWithOutLeadingZero(0);
  EXPECT_EQ(changed, std::string(GetParam().text) != GetParam().line);
  EXPECT_EQ(m_pad.pad.text(), GetParam().text);
  EXPECT_EQ(m_pad.pad.selStart(), GetParam().caretAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LeadingZeroTest,
    testing::Values(LeadingZeroCase{"pointStartingTheLineWhereverTheCaret", ".5+1", 4, "0.5+1", 5},
                    LeadingZeroCase{"pointJustTyped", "2*.", 3, "2*0.", 4},
                    LeadingZeroCase{"operatorTypedBeforeAPoint", "2+.5", 2, "2+0.5", 3},
                    LeadingZeroCase{"everyOperator", "1^.", 3, "1^0.", 4},
                    LeadingZeroCase{"insideABracket", "(.5)", 2, "(0.5)", 3},
                    LeadingZeroCase{"pointAfterADigit", "1.5", 2, "1.5", 2},
                    LeadingZeroCase{"pointAfterALetter", "X.", 2, "X.", 2},
                    LeadingZeroCase{"farFromTheCaret", "(.1)*2+3", 8, "(.1)*2+3", 8},
                    LeadingZeroCase{"twoPoints", "2+..", 4, "2+..", 4},
                    LeadingZeroCase{"caretAtTheLineStart", "(.1)", 0, "(.1)", 0},
                    LeadingZeroCase{"nonAsciiBeforeThePoint", "\xC3\xA9.", 2, "\xC3\xA9.", 2}),
    testing_support::RowName());

TEST_F(ScratchPadTest, CtrlCharactersAreDiscardedButAltGrTypes) {
  m_pad.pad.typeCharacter(U'a', {false, true, false});
  m_pad.pad.typeCharacter(U'@', {false, true, true});
  EXPECT_EQ(m_pad.pad.text(), "@");
}

TEST_F(ScratchPadTest, HandlerErrorsGoToTheReportAndAbortsAreSilent) {
  EXPECT_TRUE(m_pad.logic->runHandler([] {}));
  EXPECT_FALSE(m_pad.logic->runHandler([] { throw EAbort(); }));
  EXPECT_TRUE(m_pad.alerts.empty());
  EXPECT_FALSE(m_pad.logic->runHandler([] { throw EOverflow(); }));
  EXPECT_EQ(m_pad.alerts, std::vector<std::string>{"Floating point overflow"});
}

TEST_F(ScratchPadTest, ABadNameIsReportedAndChangesNothing) {
  m_pad.type("a+b = 3\r");
  EXPECT_EQ(m_pad.alerts, std::vector<std::string>{"A+B"});
  EXPECT_EQ(m_pad.parser.Variables().count(), 0);
  EXPECT_EQ(m_pad.statusLabel.caption(), "Ready");
}

TEST_F(ScratchPadTest, VariableEditorAssignsShowsFailuresAndSkipsTheNextKeyRelease) {
  std::string text = "x = 5";
  bool accept = true;
  m_pad.logic->VarsDropDownAcceptText(text, accept);
  EXPECT_EQ(m_pad.statusLabel.caption(), "Set \"x\" to \"5\" successfully.");
  EXPECT_EQ(m_pad.varsTextLabel.caption(), "X=5");
  EXPECT_EQ(text, "");
  EXPECT_EQ(m_pad.varsDropDown.tag(), DropDownTag::kSkipNextKeyUp);
  m_pad.pad.setSelText("1+1\n");
  m_pad.logic->keyUp(kVkReturn, {});  // the editor's Enter released over the pad
  EXPECT_EQ(m_pad.pad.text(), "1+1\n");
  EXPECT_EQ(m_pad.varsDropDown.tag(), DropDownTag::kNone);

  for (const auto& [typed, message] :
       {std::pair{"hello", "Not a variable assignment"}, std::pair{"1x=5", "Invalid variable name"}}) {
    std::string editorText = typed;
    m_pad.varsDropDown.setText(editorText);
    m_pad.logic->VarsDropDownAcceptText(editorText, accept);
    EXPECT_EQ(m_pad.statusLabel.caption(), message);
    EXPECT_EQ(m_pad.statusLabel.textColor(), kStatusErrorColor);
    EXPECT_EQ(m_pad.varsDropDown.text(), "");
  }
}

TEST_F(ScratchPadTest, PasteInsertsTheEditorsNameInTheExpressionColour) {
  m_pad.pad.setSelText("1+");
  m_pad.varsDropDown.setText("R=0.333333333333333");
  m_pad.logic->PasteClick();
  EXPECT_EQ(m_pad.pad.text(), "1+R");
  EXPECT_EQ(m_pad.pad.styleAt(2), (CharStyle{m_pad.regExpColor(), true}));
  m_pad.varsDropDown.setText("abc");
  m_pad.logic->PasteClick();
  EXPECT_EQ(m_pad.pad.text(), "1+R");
}

struct FunctionCase {
  const char* name;
  const char* chosen;
  bool typed;
  const char* text;
  int caret;
};

class FunctionsDropDownTest : public ScratchPadTest, public testing::WithParamInterface<FunctionCase> {};

TEST_P(FunctionsDropDownTest, InsertsACallWithTheCaretBetweenTheBrackets) {
  m_pad.pad.setSelText("2*");
  if (GetParam().typed) {
    m_pad.logic->FuncsDropDownAcceptText(GetParam().chosen);
  } else {
    m_pad.logic->FuncsDropDownItemClick(GetParam().chosen);
  }
  EXPECT_EQ(m_pad.pad.text(), GetParam().text);
  EXPECT_EQ(m_pad.pad.selStart(), GetParam().caret);
  const Color function = static_cast<Color>(*m_pad.prefs.getSettingValue("FunctionColor").toInteger());
  if (GetParam().caret > 2) {
    EXPECT_EQ(m_pad.pad.styleAt(2).color, function);
  }
  EXPECT_EQ(m_pad.pad.selAttributes().color, m_pad.regExpColor());
}

INSTANTIATE_TEST_SUITE_P(Rows, FunctionsDropDownTest,
                         testing::Values(FunctionCase{"item", "POWER [2 Arg]", false, "2*POWER()", 8},
                                         FunctionCase{"typedItem", "SIN [1 Arg]", true, "2*SIN()", 6},
                                         FunctionCase{"typedBareName", " COS ", true, "2*COS()", 6},
                                         FunctionCase{"typedNothing", "", true, "2*", 2}),
                         testing_support::RowName());

TEST_F(ScratchPadTest, ClearScreenKeepsVariablesAndClearVariablesEmptiesTheList) {
  m_pad.type("x=2\r1+1\r");
  m_pad.logic->ClearScreenExecute();
  EXPECT_EQ(m_pad.pad.text(), "");
  EXPECT_EQ(m_pad.varsTextLabel.caption(), "X=2");
  m_pad.logic->ClearVariablesExecute();
  EXPECT_EQ(m_pad.varsTextLabel.caption(), "No defined variables");
  EXPECT_EQ(m_pad.parser.Variables().count(), 0);
}

TEST(TruncateAnswer, CutsTheMantissaOnly) {
  EXPECT_EQ(truncateAnswer("0.666666666666667", ".", 3), "0.666");
  EXPECT_EQ(truncateAnswer("3.5", ".", 0), "3.");
  EXPECT_EQ(truncateAnswer("2.5", ".", 3), "2.5");
  EXPECT_EQ(truncateAnswer("42", ".", 3), "42");
  EXPECT_EQ(truncateAnswer("1.23456789E20", ".", 3), "1.234E20");
  EXPECT_EQ(truncateAnswer("1.5E-10", ".", 3), "1.5E-10");
  EXPECT_EQ(truncateAnswer("-1,23456E-5", ",", 2), "-1,23E-5");
  EXPECT_EQ(truncateAnswer("1.5", ".", -4), "1.");
}

}  // namespace
}  // namespace ormel

namespace ormel {
namespace {

struct MarkCase {
  const char* name;
  const char* typed;
  int line;
  LineSpan span;
  const char* message;
};

class ErrorMarkTest : public testing::TestWithParam<MarkCase> {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

TEST_P(ErrorMarkTest, AFailedLineIsMarkedWhereItFailed) {
  const MarkCase& row = GetParam();
  ScratchPadFixture pad;
  pad.type(row.typed);
  const std::vector<ErrorMark>& marks = pad.logic->errorMarks().marks();
  ASSERT_EQ(marks.size(), 1U);
  EXPECT_EQ(marks[0].line, row.line);
  EXPECT_EQ(marks[0].span, row.span);
  EXPECT_EQ(marks[0].message, row.message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ErrorMarkTest,
    testing::Values(
        MarkCase{"compileError", "2+*\r", 0, {0, 3}, "Parsing error"},
        MarkCase{"divisionByZero", "1+1\r\r1/0\r", 2, {0, 3}, "Floating point division by zero"},
        MarkCase{"integerDivisionByZero", "5 DIV 0\r", 0, {0, 7}, "Division by zero"},
        MarkCase{"hexConstant", "2 + $g1\r", 0, {4, 3}, "'$G1' is not a valid integer value"},
        MarkCase{"refusedName", "1x = 5\r", 0, {0, 2}, "Invalid variable name"},
        MarkCase{"nameTheParserRefuses", "a+b = 3\r", 0, {0, 3}, "A+B"},
        MarkCase{"assignmentThatDoesNotCompile", "x = 2+\r", 0, {4, 2}, "Parsing error"},
        MarkCase{"assignmentThatDividesByZero", "x = 1/0\r", 0, {4, 3}, "Floating point division by zero"}),
    testing_support::RowName());

TEST_F(ScratchPadTest, AMarkGoesWhenItsLineIsEvaluatedWithoutError) {
  m_pad.type("1/x\r");
  ASSERT_NE(m_pad.logic->errorMarks().markOf(0), nullptr);
  // The answer line, the assignment and the empty line succeed and leave the mark alone.
  m_pad.type("x = 4\r\r");
  EXPECT_NE(m_pad.logic->errorMarks().markOf(0), nullptr);
  enterAt(3);
  EXPECT_EQ(m_pad.pad.line(1), " 0.25");
  EXPECT_EQ(m_pad.logic->errorMarks().markOf(0), nullptr);
  EXPECT_TRUE(m_pad.logic->errorMarks().marks().empty());
}

TEST_F(ScratchPadTest, AVariableEditorFailureMarksNoLine) {
  m_pad.pad.setSelText("1+1");
  std::string text = "y = 2+";
  bool accept = true;
  m_pad.logic->VarsDropDownAcceptText(text, accept);
  EXPECT_EQ(m_pad.statusLabel.caption(), "Parsing error");
  EXPECT_TRUE(m_pad.logic->errorMarks().marks().empty());
}

}  // namespace
}  // namespace ormel
