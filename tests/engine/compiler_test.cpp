#include "engine/compiler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/parser.h"
#include "engine_test_support.h"
#include "support/outcome_row.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::outcome;
using testing_support::RowName;

using Row = testing_support::OutcomeRow;

std::string sum(int terms, const std::string& term = "1") {
  std::string text = term;
  for (int i = 1; i < terms; ++i) text += "+" + term;
  return text;
}

std::string chain(int terms, char op) {
  std::string text = "1";
  for (int i = 2; i <= terms; ++i) text += op + std::to_string(i);
  return text;
}

// A complete tree of products: level k holds 2^(k-1) steps.
std::string balancedProduct(int depth) {
  if (depth == 0) return "1";
  const std::string half = balancedProduct(depth - 1);
  return "(" + half + ")*(" + half + ")";
}

class CompilerValues : public ::testing::TestWithParam<Row> {};

// The splitting rules decide the tree; each row's value or message shows the shape it took.
TEST_P(CompilerValues, ValueOrMessage) {
  TParser parser;
  parser.SetVariable("X", 2);
  parser.SetVariable("Y", 3);
  EXPECT_EQ(outcome(parser, GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CompilerValues,
    ::testing::Values(
        Row{"ProductBeforeSum", "1+2*3", "7"}, Row{"SumAfterProduct", "2*3+1", "7"},
        Row{"Bracket", "(1+2)*3", "9"}, Row{"NestedBrackets", "((((5))))", "5"},
        Row{"DifferenceNestsLeft", "10-4-3", "3"}, Row{"DifferenceThenSum", "10-4+3", "9"},
        Row{"NegativeConstantFirst", "-2-3", "-5"}, Row{"MinusNegativeConstant", "2--3", "5"},
        Row{"DoubleNegation", "--2", "compile: Parsing error"},
        Row{"ProductOfNegativeConstant", "2*-3", "-6"},
        Row{"ProductOfNegatedVariable", "2*-X", "compile: Parsing error"},
        Row{"SumOfNegatedVariable", "2+-X", "compile: Parsing error"},
        Row{"NegationInBracket", "2*(-X)", "-4"}, Row{"NegationCoversVariableOnly", "-X*2", "-4"},
        Row{"NegationCoversPower", "-2^2", "-4"}, Row{"BracketedNegativeBase", "(-2)^2", "4"},
        Row{"NegatedPowerInProduct", "3*-2^2", "-12"}, Row{"NegativeExponent", "2^-2", "0.25"},
        Row{"PowersDoNotChain", "2^3^2", "compile: Parsing error"}, Row{"BracketedPower", "(2^3)^2", "64"},
        Row{"ZeroToZero", "0^0", "1"}, Row{"SquareRootByPower", "2^0.5", "1.4142135623731"},
        Row{"IntegralPower", "2^10", "1024"}, Row{"VariableSquared", "X^2", "4"},
        Row{"CubeAndFourth", "X^3+X^4", "24"}, Row{"VariableExponent", "2^X", "4"},
        Row{"NegativeBaseFractionalExponent", "(-8)^(1/3)", "value: Invalid floating point operation"},
        Row{"HugeExponentConstant", "2^1E19", "compile: Invalid floating point operation"},
        Row{"IntegerDivision", "10DIV3", "3"}, Row{"ModuloSignOfDividend", "-7MOD3", "-1"},
        Row{"ModuloNegativeDivisor", "7MOD-3", "1"}, Row{"ProductOfIntegerDivision", "3*5DIV2", "6"},
        Row{"IntegerDivisionThenProduct", "5DIV2*3", "6"}, Row{"QuotientsChainLeft", "8/4/2", "1"},
        Row{"DivThenMod", "17DIV3MOD4", "1"},
        Row{"IntegerDivisionByZero", "5DIV0", "value: Division by zero"},
        Row{"ModuloByFraction", "5MOD0.5", "value: Division by zero"},
        Row{"ModuloBeyondRange", "1E19MOD3", "value: Invalid floating point operation"},
        Row{"MostNegativeByMinusOne", "-9223372036854775808DIV-1", "9.22337203685478E18"},
        Row{"MostNegativeModMinusOne", "-9223372036854775808MOD-1", "0"},
        Row{"DivisionByZero", "7/0", "value: Floating point division by zero"},
        Row{"ZeroByZero", "0/0", "value: Invalid floating point operation"},
        Row{"Overflow", "1E4000*1E4000", "value: Floating point overflow"},
        Row{"UnderflowIsSilent", "1E-4000*1E-4000", "0"},
        Row{"FirstFailureDecides", "1/0-1E4000*1E4000", "value: Floating point division by zero"},
        Row{"OverflowBeforeInvalid", "(1E4000*1E4000)MOD2", "value: Floating point overflow"},
        Row{"OverflowHiddenLater", "1/(1E4000*1E4000)", "value: Floating point overflow"},
        Row{"ConstantTooLarge", "1E5000", "compile: Floating point overflow"},
        Row{"TwentyPlusSigns", sum(21), "21"},
        Row{"TwentyOnePlusSigns", sum(22), "compile: Expression contains too many nestings"},
        Row{"OpenBracket", "(1", "compile: Missing brackets in expression"},
        Row{"CloseBracket", "1)", "compile: Missing brackets in expression"},
        Row{"BracketsReversed", ")1(", "compile: Parsing error"},
        Row{"EmptyBrackets", "()", "compile: Parsing error"},
        Row{"NoImplicitProduct", "2(3)", "compile: Parsing error"}, Row{"Pi", "PI", "3.14159265358979"},
        Row{"PiLowerCase", "pi", "3.14159265358979"}, Row{"MinusPi", "-PI", "-3.14159265358979"},
        Row{"UndefinedName", "Z", "compile: Parsing error"}, Row{"ModuloOfVariables", "XMODY", "2"},
        Row{"TrailingOperator", "1+", "compile: Parsing error"},
        Row{"InnerBlank", "1 +2", "compile: Expression has blanks"}, Row{"OuterBlanks", "  1+2  ", "3"},
        Row{"OnlyBlanks", "   ", "compile: Parsing error"}, Row{"LoneSeparator", ".", "0"},
        Row{"MantissaFree", "E5", "0"}, Row{"ExponentNeedsDigit", "1E", "compile: Parsing error"},
        Row{"TwoArgumentCalls", "MAX(MIN(1,2),3)", "3"}, Row{"CallsInSum", "SIN(0)+COS(0)", "1"},
        Row{"OneArgumentTooFew", "ARG(1)", "compile: Parsing error"}, Row{"CallNameCase", "sin(0)", "0"}),
    RowName());

// The chains fail by depth, not by time: the recognisers remember their answers.
INSTANTIATE_TEST_SUITE_P(Limits, CompilerValues,
                         ::testing::Values(Row{"SubtractChainOf21", chain(21, '-'), "-229"},
                                           Row{"SubtractChainOf60", chain(60, '-'),
                                               "compile: Expression contains too many nestings"},
                                           Row{"DivideChainOf80", chain(80, '/'),
                                               "compile: Expression contains too many nestings"},
                                           Row{"ThirtyTwoStepsOnALevel", balancedProduct(6), "1"},
                                           Row{"SixtyFourStepsOnALevel", balancedProduct(7),
                                               "compile: Expression is too complex"}),
                         RowName());

}  // namespace
}  // namespace ormel
