#include "engine/parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine_test_support.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::outcome;
using testing_support::RowName;

TEST(ParserObject, EmptyTextKeepsErrorStateAndLeavesNothingCompiled) {
  TParser parser;
  parser.SetOnParserError([](TCustomParser&, const Exception&) {});
  parser.SetExpression("1+");
  EXPECT_TRUE(parser.ExpressionError());
  EXPECT_EQ(parser.Value(), 0);
  parser.SetExpression("");
  EXPECT_TRUE(parser.ExpressionError());
  EXPECT_EQ(parser.Expression(), "");
  EXPECT_EQ(parser.Value(), 0);
  parser.SetExpression("2*3");
  EXPECT_FALSE(parser.ExpressionError());
  EXPECT_EQ(parser.Value(), 6);
}

TEST(ParserObject, FailureRaisesWithoutHandlerAndGoesToHandlerWhenSet) {
  TParser parser;
  EXPECT_THROW(parser.SetExpression("1+"), ESyntaxError);
  EXPECT_TRUE(parser.ExpressionError());
  EXPECT_EQ(parser.firstStep(), nullptr);

  std::string received;
  TCustomParser* sender = nullptr;
  parser.SetOnParserError([&](TCustomParser& s, const Exception& e) {
    sender = &s;
    received = e.message();
    EXPECT_NE(dynamic_cast<const ESyntaxError*>(&e), nullptr);
  });
  EXPECT_FALSE(parser.ParseExpression("1+"));
  EXPECT_EQ(received, "Parsing error");
  EXPECT_EQ(sender, &parser);
  EXPECT_TRUE(parser.ParseExpression("1"));
}

TEST(ParserObject, ExpressionReadsBackAsGiven) {
  TParser parser;
  parser.SetOnParserError([](TCustomParser&, const Exception&) {});
  parser.SetExpression(" sin( 1 ) ");
  EXPECT_EQ(parser.Expression(), " sin( 1 ) ");
  EXPECT_TRUE(parser.ExpressionError());
}

TEST(ParserObject, VariablesKeepTheirCellAndCompiledStepsFollowThem) {
  TParser parser;
  long double* cell = parser.SetVariable("x", 2);
  parser.SetExpression("X*10");
  EXPECT_EQ(parser.Value(), 20);
  EXPECT_EQ(parser.SetVariable("X", 3), cell);
  EXPECT_EQ(parser.Value(), 30);
  ASSERT_EQ(parser.Variables().count(), 1);
  EXPECT_EQ(parser.Variables().name(0), "X");
  EXPECT_EQ(parser.Variables().value(0), 3);
}

TEST(ParserObject, VariableOnlyExpressionReadsTheCurrentValue) {
  TParser parser;
  parser.SetVariable("A", 1.5L);
  parser.SetExpression("a");
  parser.SetVariable("A", -4);
  EXPECT_EQ(parser.Value(), -4);
}

TEST(ParserObject, VariablesAreSortedWithoutRegardToCase) {
  TParser parser;
  for (const char* name : {"zeta", "Alpha", "_b", "m2"}) parser.SetVariable(name, 1);
  std::vector<std::string> names;
  for (int i = 0; i < parser.Variables().count(); ++i) names.push_back(parser.Variables().name(i));
  EXPECT_EQ(names, (std::vector<std::string>{"_B", "ALPHA", "M2", "ZETA"}));
}

TEST(ParserObject, BadNamesAreRefusedWithTheName) {
  TParser parser;
  parser.SetOnParserError([](TCustomParser&, const Exception&) { FAIL() << "not a compile failure"; });
  const auto messageOf = [](auto&& call) {
    try {
      call();
    } catch (const EBadName& e) {
      return e.message();
    }
    return std::string("no error");
  };
  EXPECT_EQ(messageOf([&] { parser.SetVariable("2x", 1); }), "2X");
  EXPECT_EQ(messageOf([&] { parser.SetVariable("", 1); }), "");
  EXPECT_EQ(messageOf([&] { parser.SetVariable("a-b", 1); }), "A-B");
  EXPECT_EQ(messageOf([&] { parser.AddFunctionOneParam("3d", nullptr); }), "3d");
  EXPECT_EQ(messageOf([&] { parser.AddFunctionTwoParam("x y", nullptr); }), "x y");
}

TEST(ParserObject, FunctionNamesCannotBeRegisteredTwice) {
  TParser parser;
  EXPECT_THROW(parser.AddFunctionOneParam("sin", nullptr), EStringListError);
  EXPECT_THROW(parser.AddFunctionTwoParam("MAX", nullptr), EStringListError);
}

TEST(ParserObject, ClearVariablesDiscardsTheCompiledExpression) {
  TParser parser;
  parser.SetVariable("X", 2);
  parser.SetExpression("X+1");
  parser.ClearVariables();
  EXPECT_EQ(parser.Expression(), "");
  EXPECT_EQ(parser.Value(), 0);
  EXPECT_EQ(parser.Variables().count(), 0);
  EXPECT_EQ(outcome(parser, "X+1"), "compile: Parsing error");
}

TEST(ParserObject, ArithmeticErrorsLeaveTheStepsForTheNextRead) {
  TParser parser;
  parser.SetVariable("X", 0);
  parser.SetExpression("1/X");
  EXPECT_THROW(parser.Value(), EZeroDivide);
  EXPECT_FALSE(parser.ExpressionError());
  parser.SetVariable("X", 4);
  EXPECT_EQ(parser.Value(), 0.25L);
}

TEST(ParserObject, FlagsRaisedBeforeTheReadAreNotItsErrors) {
  TParser parser;
  parser.SetExpression("1+1");
  volatile long double huge = 1E4000L;
  volatile long double overflowed = huge * huge;
  (void)overflowed;
  EXPECT_EQ(parser.Value(), 2);
  EXPECT_EQ(parser.Value(), 2);
}

TEST(ParserObject, VariableHidesConstantAndWholeNameBeatsOperators) {
  TParser parser;
  parser.SetVariable("X", 7);
  parser.SetVariable("Y", 4);
  EXPECT_EQ(outcome(parser, "XMODY"), "3");
  parser.SetVariable("XMODY", 10);
  EXPECT_EQ(outcome(parser, "XMODY"), "10");
  parser.SetVariable("PI", 3);
  EXPECT_EQ(outcome(parser, "PI*2"), "6");
}

TEST(ParserObject, FunctionTablesHoldAllFunctionsSortedInCapitals) {
  TParser parser;
  const FunctionTable& one = parser.getFunctionOne();
  const FunctionTable& two = parser.getFunctionTwo();
  EXPECT_EQ(one.count() + two.count(), 87);
  ASSERT_EQ(two.count(), 8);
  std::vector<std::string> twoNames;
  for (int i = 0; i < two.count(); ++i) twoNames.push_back(two.name(i));
  EXPECT_EQ(twoNames,
            (std::vector<std::string>{"ARG", "COMBIN", "INTPOWER", "LOGN", "MAX", "MIN", "PERM", "POWER"}));
  for (int i = 1; i < one.count(); ++i) EXPECT_LT(one.name(i - 1), one.name(i));
  for (const char* name : {"FEELTOYARD", "RADTOGRAG", "GRADTOCYCE", "SQR", "RANDOM", "FACT"}) {
    EXPECT_GE(one.find(name), 0) << name;
  }
}

TEST(ParserObject, LocaleNumberFormatReadsConstantsByTheRegionalConversion) {
  TParser parser;
  parser.SetPascalNumberformat(false);
  EXPECT_EQ(outcome(parser, "1.5E1+1"), "16");
  EXPECT_EQ(outcome(parser, "E5"), "compile: Parsing error");
}

struct TextRow {
  std::string name;
  std::string text;
  std::string expected;
  friend void PrintTo(const TextRow& row, std::ostream* os) { *os << row.text; }
};

class HexRewriting : public ::testing::TestWithParam<TextRow> {};

TEST_P(HexRewriting, RewritesOrNamesTheToken) {
  std::string result;
  try {
    result = TParser::ConvertHexToDec(GetParam().text);
  } catch (const EConvertError& e) {
    result = "error: " + e.message();
  }
  EXPECT_EQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HexRewriting,
    ::testing::Values(TextRow{"Assignment", "x=$ff", "X=255"}, TextRow{"Product", "$10*2", "16*2"},
                      TextRow{"AllOnesIsMinusOne", "$FFFFFFFF", "-1"},
                      TextRow{"SmallestInteger", "$80000000", "-2147483648"},
                      TextRow{"LeadingZerosAreFree", "$0000000001", "1"},
                      TextRow{"TwoTokens", "$1+$12", "1+18"},
                      TextRow{"RepeatedToken", "$A*$A+$AB", "10*10+171"},
                      TextRow{"CapitalsWithoutDollar", "sin(x)", "SIN(X)"},
                      TextRow{"LetterBeyondF", "$G1", "error: '$G1' is not a valid integer value"},
                      TextRow{"NoDigits", "2$", "error: '$' is not a valid integer value"},
                      TextRow{"NineDigits", "$123456789", "error: '$123456789' is not a valid integer value"},
                      TextRow{"WordAfterDigits", "$1FZ", "error: '$1FZ' is not a valid integer value"}),
    RowName());

TEST(TextOperations, RemoveBlanksDeletesOnlyBlanks) {
  EXPECT_EQ(TParser::RemoveBlanks("1 + 2"), "1+2");
  EXPECT_EQ(TParser::RemoveBlanks(" \t1  "), "\t1");
  EXPECT_EQ(TParser::RemoveBlanks(""), "");
}

class BuiltinFunctions : public ::testing::TestWithParam<TextRow> {};

TEST_P(BuiltinFunctions, ValueOrMessage) {
  TParser parser;
  EXPECT_EQ(outcome(parser, GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BuiltinFunctions,
    ::testing::Values(
        TextRow{"ArgFirstQuadrant", "ARG(1,1)/PI", "0.25"}, TextRow{"ArgNegativeAxis", "ARG(-1,0)/PI", "1"},
        TextRow{"ArgThirdQuadrant", "ARG(-1,-1)/PI", "1.25"}, TextRow{"ArgOrigin", "ARG(0,0)/PI", "-0.5"},
        TextRow{"ArgPositiveAxis", "ARG(0,2)/PI", "0.5"},
        TextRow{"ArgOverflowInQuotient", "ARG(1E-4000,1E4000)", "value: Floating point overflow"},
        TextRow{"CeilUp", "CEIL(1.2)", "2"}, TextRow{"CeilNegative", "CEIL(-1.5)", "-1"},
        TextRow{"CeilWhole", "CEIL(2)", "2"}, TextRow{"FloorDown", "FLOOR(1.7)", "1"},
        TextRow{"FloorNegative", "FLOOR(-1.5)", "-2"}, TextRow{"TruncNegative", "TRUNC(-2.7)", "-2"},
        TextRow{"IntNegative", "INT(-2.7)", "-2"}, TextRow{"SignZero", "SIGN(0)", "0"},
        TextRow{"SignNegative", "SIGN(-0.1)", "-1"}, TextRow{"HeavZero", "HEAV(0)", "1"},
        TextRow{"HeavNegative", "HEAV(-1)", "0"}, TextRow{"ZeroOfZero", "ZERO(0)", "0"},
        TextRow{"ZeroOfOther", "ZERO(-3)", "1"}, TextRow{"Max", "MAX(1,2)", "2"},
        TextRow{"Min", "MIN(1,2)", "1"}, TextRow{"LogN", "LOGN(2,8)", "3"},
        TextRow{"PowerHalf", "POWER(2,0.5)", "1.4142135623731"},
        TextRow{"IntPowerTruncates", "INTPOWER(2,3.9)", "8"},
        TextRow{"IntPowerNegative", "INTPOWER(2,-2)", "0.25"},
        TextRow{"IntPowerBeyondRange", "INTPOWER(2,1E19)", "value: Invalid floating point operation"},
        TextRow{"PhaseZero", "PH(0)", "0"}, TextRow{"PhaseOne", "PH(1)", "-2.69676621326981"},
        TextRow{"PhaseBeyondRange", "PH(1E19)", "value: Invalid floating point operation"},
        TextRow{"RandomUnitInterval", "TRUNC(RANDOM(7))", "0"}, TextRow{"RndOfHalf", "RND(0.5)", "0"},
        TextRow{"SinZero", "sin(0)", "0"}, TextRow{"SinBeyondFpuRange", "SIN(1E19)", "0"},
        TextRow{"CosBeyondFpuRange", "COS(-1E19)", "0"}, TextRow{"SinhCosh", "COSH(1)^2-SINH(1)^2", "1"},
        TextRow{"CotanOfZero", "COTAN(0)", "value: Floating point division by zero"},
        TextRow{"LnOfZero", "LN(0)", "value: Floating point division by zero"},
        TextRow{"Log10OfZero", "LOG10(0)", "value: Floating point division by zero"},
        TextRow{"Log2OfZero", "LOG2(0)", "value: Floating point division by zero"},
        TextRow{"LogNBaseOne", "LOGN(1,8)", "value: Floating point division by zero"},
        TextRow{"SqrtNegative", "SQRT(-1)", "value: Invalid floating point operation"},
        TextRow{"LnNegative", "LN(-1)", "value: Invalid floating point operation"},
        TextRow{"Log10Negative", "LOG10(-1)", "value: Invalid floating point operation"},
        TextRow{"LogNNegativeBase", "LOGN(-2,8)", "value: Invalid floating point operation"},
        TextRow{"LogNArgumentBeforeBase", "LOGN(0,-1)", "value: Invalid floating point operation"},
        TextRow{"PowerInvalid", "POWER(-8,1/3)", "value: Invalid floating point operation"},
        TextRow{"ExpOverflow", "EXP(12000)", "value: Floating point overflow"},
        TextRow{"SinhOverflow", "SINH(-12000)", "value: Floating point overflow"},
        TextRow{"CoshOverflow", "COSH(12000)", "value: Floating point overflow"},
        TextRow{"Sqr", "SQR(-3)", "9"}, TextRow{"Abs", "ABS(-3)", "3"}),
    RowName());

TEST(Random, RndScalesTheTruncatedArgument) {
  TParser parser;
  seedRandomGenerator(42);
  parser.SetExpression("RND(10)");
  bool differs = false;
  const long double first = parser.Value();
  for (int i = 0; i < 100; ++i) {
    const long double v = parser.Value();
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 10);
    differs = differs || v != first;
  }
  EXPECT_TRUE(differs);
}

TEST(Random, SeedingRepeatsTheSequence) {
  TParser parser;
  parser.SetExpression("RANDOM(0)");
  seedRandomGenerator(7);
  const long double a = parser.Value();
  seedRandomGenerator(7);
  EXPECT_EQ(parser.Value(), a);
}

}  // namespace
}  // namespace ormel
