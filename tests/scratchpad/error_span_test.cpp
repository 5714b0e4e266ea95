#include "scratchpad/error_span.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "engine/parser_errors.h"
#include "support/row_name.h"

namespace ormel {
namespace {

struct SpanCase {
  const char* name;
  const char* line;
  LineFailureKind kind;
  const char* token;
  LineSpan span;
};

class ErrorSpanTest : public testing::TestWithParam<SpanCase> {};

TEST_P(ErrorSpanTest, CoversWhatTheFailureNames) {
  const SpanCase& row = GetParam();
  EXPECT_EQ(errorSpanIn(row.line, LineFailure{row.kind, "message", row.token}), row.span);
}

constexpr auto kExpression = LineFailureKind::kExpression;
constexpr auto kName = LineFailureKind::kName;
constexpr auto kHex = LineFailureKind::kHexToken;

INSTANTIATE_TEST_SUITE_P(
    Rows, ErrorSpanTest,
    testing::Values(SpanCase{"wholeExpression", "1/0", kExpression, "", {0, 3}},
                    SpanCase{"blanksAroundLeftOut", "  1 / 0  ", kExpression, "", {2, 5}},
                    SpanCase{"assignmentsRightHandSide", "x = 2+*", kExpression, "", {4, 3}},
                    SpanCase{"assignmentWithNothingAfter", "x =", kExpression, "", {0, 3}},
                    SpanCase{"refusedName", "1x = 5", kName, "", {0, 2}},
                    SpanCase{"nameWithBlanksInside", "a + b = 3", kName, "", {0, 5}},
                    SpanCase{"missingNameAtTheEquals", " =5", kName, "", {1, 1}},
                    SpanCase{"hexToken", "2+$g1*3", kHex, "$G1", {2, 3}},
                    SpanCase{"hexTokenWithABlank", "$ g1", kHex, "$G1", {0, 4}},
                    SpanCase{"hexTokenNotThePrefixOfALongerOne", "$G12+$G1", kHex, "$G1", {5, 3}},
                    SpanCase{"loneDollar", "7+$", kHex, "$", {2, 1}},
                    SpanCase{"columnsCountUtf16Units", "\xC3\xA9+\xF0\x9F\x98\x80+$G", kHex, "$G", {5, 2}},
                    SpanCase{"tokenNotFoundMarksTheLine", "1+2", kHex, "$Z", {0, 3}},
                    SpanCase{"blankLine", "   ", kExpression, "", {0, 0}}),
    testing_support::RowName());

TEST(LineFailureTest, TellsWhatTheErrorNames) {
  const LineFailure hex = lineFailureOf(EConvertError("'$G1' is not a valid integer value"));
  EXPECT_EQ(hex.kind, LineFailureKind::kHexToken);
  EXPECT_EQ(hex.token, "$G1");
  EXPECT_EQ(hex.message, "'$G1' is not a valid integer value");
  EXPECT_EQ(lineFailureOf(EBadName("A+B")).kind, LineFailureKind::kName);
  const LineFailure zero = lineFailureOf(EZeroDivide());
  EXPECT_EQ(zero.kind, LineFailureKind::kExpression);
  EXPECT_EQ(zero.message, "Floating point division by zero");
  // A conversion error that names no constant is the expression's.
  EXPECT_EQ(lineFailureOf(EConvertError("no quotes")).kind, LineFailureKind::kExpression);
}

}  // namespace
}  // namespace ormel
