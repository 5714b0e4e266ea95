#include "scratchpad/recalculation.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

#include "base/unicode_text.h"
#include "scratchpad/answer_line.h"
#include "support/row_name.h"
#include "support/scratch_pad_fixture.h"

namespace ormel {
namespace {

using testing_support::ScratchPadFixture;

/// How the pad is filled before the run: lines entered one by one with Enter, keys typed as
/// they are, or plain lines as a sheet of plain text brings them.
enum class Fill { Entered, Typed, Plain };

struct RecalculationCase {
  const char* name;
  Fill fill;
  std::vector<const char*> lines;
  /// Line 0 is replaced by this before the run, unless empty.
  const char* newFirstLine;
  const char* text;
  const char* status;
  const char* separator = ".";
  int placement = 1;
};

class RecalculationTest : public testing::TestWithParam<RecalculationCase> {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

void fill(ScratchPadFixture& pad, Fill how, const std::vector<const char*>& lines) {
  if (how == Fill::Plain) {
    StyledText content;
    const CharStyle style{pad.regExpColor(), true};
    for (const char* line : lines) {
      const std::u16string text = utf8ToUtf16(line);
      content.push_back(StyledLine{text, std::vector<CharStyle>(text.size(), style), style});
    }
    pad.pad.setContent(content);
    return;
  }
  for (const char* line : lines) {
    if (how == Fill::Entered) {
      pad.enterLine(line);
    } else {
      pad.type(line);
    }
  }
}

TEST_P(RecalculationTest, FinishesEveryLineAgain) {
  const RecalculationCase& row = GetParam();
  ScratchPadFixture pad;
  pad.prefs.setSettingValue("DecimalSeparator", row.separator);
  pad.prefs.setSettingValue("CursorPlacement", row.placement);
  pad.parser.SetVariable("RATE", 2);
  fill(pad, row.fill, row.lines);
  if (*row.newFirstLine != '\0') pad.pad.setLine(0, row.newFirstLine);
  pad.alerts.clear();
  pad.logic->RecalculateExecute();
  EXPECT_EQ(pad.pad.text(), row.text);
  EXPECT_EQ(pad.statusLabel.caption(), row.status);
  EXPECT_TRUE(pad.alerts.empty()) << pad.alerts.front();
  // A second run finds every answer as the first one left it.
  const std::string after = pad.pad.text();
  EXPECT_EQ(pad.logic->RecalculateExecute().changedCount, 0);
  EXPECT_EQ(pad.pad.text(), after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecalculationTest,
    testing::Values(
        RecalculationCase{"assignmentChangedAtTop",
                          Fill::Entered,
                          {"x = 2", "x*3", "x+1"},
                          "x = 5",
                          "x = 5\nx*3\n 15\nx+1\n 6",
                          "Recalculated 3 lines, 2 answers changed."},
        RecalculationCase{"nothingChanged",
                          Fill::Entered,
                          {"1+1", "2*3"},
                          "",
                          "1+1\n 2\n2*3\n 6",
                          "Recalculated 2 lines, 0 answers changed."},
        RecalculationCase{"answersComeForLinesWithout",
                          Fill::Plain,
                          {"1+1", "", "2+2"},
                          "",
                          "1+1\n 2\n\n2+2\n 4",
                          "Recalculated 2 lines, 2 answers changed."},
        RecalculationCase{"answerGoesWhenTheLineIsAPlainNumber",
                          Fill::Entered,
                          {"2+3", "4*4"},
                          "42",
                          "42\n4*4\n 16",
                          "Recalculated 2 lines, 1 answer changed."},
        RecalculationCase{"answerGoesWhenTheLineIsAnAssignment",
                          Fill::Entered,
                          {"2*3", "Y*2"},
                          "y = 3",
                          "y = 3\nY*2\n 6\n",
                          "Recalculated 2 lines, 2 answers changed."},
        RecalculationCase{"textTypedBehindAnAnswerStaysAndCounts",
                          Fill::Typed,
                          {"2+3\r*2\r"},
                          "2+4",
                          "2+4\n 6*2\n 12",
                          "Recalculated 2 lines, 2 answers changed."},
        RecalculationCase{"digitsTypedBehindAnAnswerStayTheUsers",
                          Fill::Typed,
                          {"2+3\r1\r"},
                          "2+4",
                          "2+4\n 61\n",
                          "Recalculated 2 lines, 1 answer changed."},
        RecalculationCase{"variablesThePadDoesNotAssign",
                          Fill::Plain,
                          {"RATE*10"},
                          "",
                          "RATE*10\n 20",
                          "Recalculated 1 line, 1 answer changed."},
        RecalculationCase{
            "divisionByZeroIsReportedAndTheRunGoesOn",
            Fill::Entered,
            {"x = 1", "1/x", "2+2"},
            "x = 0",
            "x = 0\n1/x\n2+2\n 4",
            "Recalculated 3 lines, 1 answer changed. Line 2 failed: Floating point division by zero"},
        RecalculationCase{"compileError",
                          Fill::Entered,
                          {"2+3"},
                          "2+*",
                          "2+*",
                          "Recalculated 1 line, 1 answer changed. Line 1 failed: Parsing error"},
        RecalculationCase{"severalFailures",
                          Fill::Entered,
                          {"a = 1", "1/a", "2 DIV a"},
                          "a = 0",
                          "a = 0\n1/a\n2 DIV a",
                          "Recalculated 3 lines, 2 answers changed. 2 lines failed, the first line 2: "
                          "Floating point division by zero"},
        RecalculationCase{"commaSeparator",
                          Fill::Entered,
                          {"1/4"},
                          "1/8",
                          "1/8\n 0,125",
                          "Recalculated 1 line, 1 answer changed.",
                          ","},
        RecalculationCase{"newLineAfterAnswerAddsNoLines",
                          Fill::Typed,
                          {"1+1\r2+2\r"},
                          "1+2",
                          "1+2\n 3\n2+2\n 4\n",
                          "Recalculated 2 lines, 1 answer changed.",
                          ".",
                          2},
        RecalculationCase{"plainTextAnswersAreReplaced",
                          Fill::Plain,
                          {"2+3", " 4", "1/4", " 0.3"},
                          "",
                          "2+3\n 5\n1/4\n 0.25",
                          "Recalculated 2 lines, 2 answers changed."},
        RecalculationCase{"answersOfNoLineAreKept",
                          Fill::Plain,
                          {" 7", "", " 8", "3*3"},
                          "",
                          " 7\n\n 8\n3*3\n 9",
                          "Recalculated 1 line, 1 answer changed."},
        RecalculationCase{"blankLinesAndEmptyPad",
                          Fill::Plain,
                          {"   ", ""},
                          "",
                          "   \n",
                          "Recalculated 0 lines, 0 answers changed."}),
    testing_support::RowName());

TEST(RecalculationCaret, FollowsItsLineAndStaysInIt) {
  std::setlocale(LC_ALL, "C");
  ScratchPadFixture pad;
  pad.pad.setContent({});
  for (const char* line : {"1+1", "2+2", "abc 3*3"}) pad.enterLine(line);
  // Answers of "1+1" and "2+2" become plain text the run cannot tell from what was typed.
  pad.pad.setLine(1, "x");
  pad.pad.setLine(0, "4*4");
  // On "abc 3*3", behind "abc": an answer line comes above it; the failing lines get none.
  const int caretLine = 4;
  ASSERT_EQ(pad.pad.line(caretLine), "abc 3*3");
  pad.pad.setSelStart(pad.pad.lineStart(caretLine) + 3);
  pad.logic->RecalculateExecute();
  EXPECT_EQ(pad.pad.text(), "4*4\n 16\nx\n2+2\n 4\nabc 3*3\n");
  EXPECT_EQ(pad.pad.caretLine(), 5);
  EXPECT_EQ(pad.pad.selStart() - pad.pad.lineStart(5), 3);
}

TEST(RecalculationCaret, OnAnAnswerThatGoesMovesToItsLine) {
  std::setlocale(LC_ALL, "C");
  ScratchPadFixture pad;
  pad.enterLine("2+3");
  pad.enterLine("7*7");
  pad.pad.setLine(0, "5");
  pad.pad.setSelStart(pad.pad.lineStart(1) + 2);
  pad.logic->RecalculateExecute();
  EXPECT_EQ(pad.pad.text(), "5\n7*7\n 49");
  EXPECT_EQ(pad.pad.caretLine(), 0);
  EXPECT_EQ(pad.pad.selStart(), 1);
}

TEST(RecalculationReport, ErrorsGoToTheHistoryAndTheChangedAnswersAreNamed) {
  std::setlocale(LC_ALL, "C");
  ScratchPadFixture pad;
  for (const char* line : {"d = 2", "6/d", "1+1", "1/(d-3)", "$"}) pad.enterLine(line);
  pad.pad.setLine(0, "d = 3");
  pad.alerts.clear();
  const Recalculation run = pad.logic->RecalculateExecute();
  EXPECT_TRUE(pad.alerts.empty());
  EXPECT_EQ(run.lines, 5);
  ASSERT_EQ(run.changedAnswers.size(), 1u);
  EXPECT_EQ(pad.pad.line(2), " 2");
  EXPECT_EQ(run.changedAnswers[0], (TextSpan{pad.pad.lineStart(2) + 1, 1}));
  EXPECT_EQ(pad.statusLabel.textColor(), kStatusErrorColor);
  const std::string hint = pad.statusLabel.hint();
  EXPECT_EQ(hint.rfind("Line 7: '$' is not a valid integer value\r\n", 0), 0u) << hint;
  EXPECT_NE(hint.find("Line 7: '$' is not a valid integer value\r\nLine 6: Floating point division by zero"),
            std::string::npos)
      << hint;
}

struct AnswerTextCase {
  const char* name;
  const char16_t* text;
  const char16_t* separator;
  int length;
};

class AnswerTextTest : public testing::TestWithParam<AnswerTextCase> {};

TEST_P(AnswerTextTest, ReadsTheNumberFormat) {
  EXPECT_EQ(answerTextLength(GetParam().text, GetParam().separator), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnswerTextTest,
    testing::Values(
        AnswerTextCase{"integer", u"5", u".", 1}, AnswerTextCase{"negative", u"-3.25", u".", 5},
        AnswerTextCase{"scientific", u"1.5E-10", u".", 7}, AnswerTextCase{"bigExponent", u"1E15", u".", 4},
        AnswerTextCase{"infinity", u"INF", u".", 3}, AnswerTextCase{"minusInfinity", u"-INF", u".", 4},
        AnswerTextCase{"notANumber", u"NAN", u".", 3},
        AnswerTextCase{"separatorKeptWithNoPlaces", u"3.", u".", 2},
        AnswerTextCase{"textBehind", u"12*X", u".", 2}, AnswerTextCase{"letterFirst", u"E5", u".", 0},
        AnswerTextCase{"exponentWithoutDigits", u"5E", u".", 1}, AnswerTextCase{"comma", u"0,25", u",", 4},
        AnswerTextCase{"pointWithCommaPreferred", u"0.25", u",", 4}, AnswerTextCase{"empty", u"", u".", 0},
        AnswerTextCase{"signAlone", u"-", u".", 0}),
    testing_support::RowName());

}  // namespace
}  // namespace ormel
