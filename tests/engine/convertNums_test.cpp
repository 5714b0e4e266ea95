#include "engine/convertNums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/constants.h"
#include "engine/parser.h"
#include "engine_test_support.h"
#include "support/outcome_row.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::outcome;
using testing_support::RowName;

using Row = testing_support::OutcomeRow;

class ConversionFunctions : public ::testing::TestWithParam<Row> {};

TEST_P(ConversionFunctions, ValueOrMessage) {
  TParser parser;
  EXPECT_EQ(outcome(parser, GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Length, ConversionFunctions,
    ::testing::Values(Row{"YardToMeter", "YARDTOMETER(1)", "0.9144"}, Row{"FeetToYard", "FEELTOYARD(6)", "2"},
                      Row{"MeterToFeet", "METERTOFEET(1)", "3.2808398950131"},
                      Row{"MileToFeet", "MILETOFEET(2)", "10560"}, Row{"FeetToMile", "FEETTOMILE(5280)", "1"},
                      Row{"MeterToMile", "METERTOMILE(1609.344)", "1"},
                      Row{"NauticalNotInverse", "MILETONMILE(NMILETOMILE(1))", "1.00000544"}),
    RowName());

INSTANTIATE_TEST_SUITE_P(
    Temperature, ConversionFunctions,
    ::testing::Values(Row{"CelsToKel", "CELSTOKEL(0)", "273.15"}, Row{"KelToCels", "KELTOCELS(0)", "-273.15"},
                      Row{"FarhToRank", "FARHTORANK(0)", "459.7"}, Row{"RankToKel", "RANKTOKEL(1)", "0.5556"},
                      Row{"CelsToFarh", "CELSTOFARH(100)", "212"},
                      Row{"FarhToCels", "FARHTOCELS(212)", "100"}, Row{"KelToFarh", "KELTOFARH(0)", "-459.7"},
                      Row{"RankToFarh", "RANKTOFARH(459.7)", "0"}),
    RowName());

INSTANTIATE_TEST_SUITE_P(Angle, ConversionFunctions,
                         ::testing::Values(Row{"RadToDegOfPi", "RADTODEG(PI)", "180"},
                                           Row{"CycleToDegIsRadToDeg", "CYCLETODEG(1)-RADTODEG(1)", "0"},
                                           Row{"CycleToDeg", "CYCLETODEG(1)", "57.2957795130823"},
                                           Row{"DegToCycle", "DEGTOCYCLE(360)", "1"},
                                           Row{"GradToDeg", "GRADTODEG(200)", "180"},
                                           Row{"CycleToRadIsDivision", "CYCLETORAD(PI)", "0.5"},
                                           Row{"DegToGrad", "DEGTOGRAD(90)", "100"}),
                         RowName());

INSTANTIATE_TEST_SUITE_P(
    Factorial, ConversionFunctions,
    ::testing::Values(Row{"Five", "FACT(5)", "120"}, Row{"One", "FACT(1)", "1"}, Row{"Zero", "FACT(0)", "1"},
                      Row{"Negative", "FACT(-3)", "-3"}, Row{"HalfRoundsToEven", "FACT(2.5)", "2.5"},
                      Row{"HalfRoundsUp", "FACT(3.5)", "21"}, Row{"LargestExtended", "ZERO(FACT(1754))", "1"},
                      Row{"BeyondExtended", "FACT(1755)", "value: Floating point overflow"},
                      Row{"BeyondInt64", "FACT(1E19)", "value: Invalid floating point operation"},
                      Row{"Perm", "PERM(5,2)", "20"}, Row{"Combin", "COMBIN(5,2)", "10"},
                      Row{"CombinNone", "COMBIN(5,0)", "1"}, Row{"CombinAll", "COMBIN(5,5)", "1"},
                      Row{"CombinExactTo13", "COMBIN(13,6)", "1716"},
                      Row{"CombinSinglePrecision", "COMBIN(20,10)", "184756.022012513"},
                      Row{"SingleLimit", "PERM(34,34)", "2.95232883843762E38"},
                      Row{"CombinOverflow", "COMBIN(40,2)", "value: Floating point overflow"},
                      Row{"PermOverflow", "PERM(35,1)", "value: Floating point overflow"}),
    RowName());

INSTANTIATE_TEST_SUITE_P(
    Trigonometry, ConversionFunctions,
    ::testing::Values(
        Row{"ArcSin", "ARCSIN(1)/PI", "0.5"}, Row{"ArcCos", "ARCCOS(-1)/PI", "1"},
        Row{"ArcSinBeyondOne", "ARCSIN(1.5)", "value: Invalid floating point operation"},
        Row{"ArcCosBeyondOne", "ARCCOS(-1.5)", "value: Invalid floating point operation"},
        Row{"Sec", "SEC(0)", "1"}, Row{"CscOfZero", "CSC(0)", "value: Floating point division by zero"},
        Row{"CotOfZero", "COT(0)", "value: Floating point division by zero"}, Row{"TanhZero", "TANH(0)", "0"},
        Row{"TanhHalf", "TANH(0.5)", "0.46211715726001"},
        Row{"TanhOverflow", "TANH(12000)", "value: Floating point overflow"},
        Row{"CothZero", "COTH(0)", "value: Floating point division by zero"}, Row{"SechZero", "SECH(0)", "1"},
        Row{"SechOverflowHiddenByDivision", "SECH(12000)", "value: Floating point overflow"},
        Row{"CschTiny", "CSCH(1E-17)", "value: Floating point division by zero"},
        Row{"ArcCotZero", "ARCCOT(0)/PI", "0.5"}, Row{"ArcCotNegative", "ARCCOT(-1)/PI", "-0.25"},
        Row{"ArcSecZero", "ARCSEC(0)", "INF"}, Row{"ArcCscZero", "ARCCSC(0)", "INF"},
        Row{"ArcSecInside", "ARCSEC(0.5)", "value: Invalid floating point operation"},
        Row{"ArcCscInside", "ARCCSC(-0.5)", "value: Invalid floating point operation"},
        Row{"ArcCosh", "ARCCOSH(1)", "0"},
        Row{"ArcCoshMinusOne", "ARCCOSH(-1)", "value: Floating point division by zero"},
        Row{"ArcCoshBelowOne", "ARCCOSH(0.5)", "value: Invalid floating point operation"},
        Row{"ArcSinh", "ARCSINH(0)", "0"}, Row{"ArcTanhHalf", "ARCTANH(0.5)", "0.549306144334055"},
        Row{"ArcTanhOne", "ARCTANH(1)", "INF"}, Row{"ArcTanhMinusOne", "ARCTANH(-1)", "-INF"},
        Row{"ArcTanhSwallowsErrors", "ARCTANH(2)", "0"},
        Row{"ArcTanhSwallowsOnlyItsOwn", "ARCTANH(2)+1/0", "value: Floating point division by zero"},
        Row{"ArcCothOne", "ARCCOTH(1)", "INF"},
        Row{"ArcCothInside", "ARCCOTH(0.5)", "value: Invalid floating point operation"},
        Row{"InfinityArithmetic", "ARCTANH(1)+1", "INF"},
        Row{"InfinityMinusInfinity", "ARCTANH(1)-ARCTANH(1)", "value: Invalid floating point operation"}),
    RowName());

TEST(ConversionFunctions, ArcTanhKeepsTheValueItHadOnError) {
  TParser parser;
  long double* x = parser.SetVariable("X", 0.5L);
  parser.SetExpression("ARCTANH(X)");
  const long double half = parser.Value();
  *x = 3;
  EXPECT_EQ(parser.Value(), half);
}

TEST(ConversionFunctions, SinglePrecisionFactorial) {
  EXPECT_EQ(factorial(13), 6227020800.0F);
  EXPECT_EQ(factorial(14), 87178291200.0F);  // rounded to 24 bits from here on
  EXPECT_EQ(factorial(0), 1.0F);
  EXPECT_THROW((void)factorial(35), EOverflow);
  EXPECT_THROW((void)factorial(1E39L), EOverflow);
}

std::uint64_t mantissa(long double v) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

struct ConstantRow {
  std::string name;
  std::string text;
  std::uint64_t mantissa;
};

class ConstantBits : public ::testing::TestWithParam<ConstantRow> {};

// The factors as the functions apply them to 1: the nearest extended value, bit for bit.
TEST_P(ConstantBits, Mantissa) {
  TParser parser;
  parser.SetExpression(GetParam().text);
  EXPECT_EQ(mantissa(parser.Value()), GetParam().mantissa) << std::hex << mantissa(parser.Value());
}

INSTANTIATE_TEST_SUITE_P(Rows, ConstantBits,
                         ::testing::Values(ConstantRow{"Pi", "PI", 0xC90FDAA22168C235ULL},
                                           ConstantRow{"RadToDeg", "RADTODEG(1)", 0xE52EE0D31E0FBDC3ULL},
                                           ConstantRow{"DegToRad", "DEGTORAD(1)", 0x8EFA351294E9C8AEULL},
                                           ConstantRow{"GradToRad", "GRADTORAD(1)", 0x80ADFC90B938CE36ULL},
                                           // One unit below the nearest value 0xFEA5DD5C5A4A6112.
                                           ConstantRow{"RadToGrad", "RADTOGRAG(1)", 0xFEA5DD5C5A4A6111ULL},
                                           ConstantRow{"FiveNinths", "FARHTOCELS(33)", 0x8E38E38E38E38E39ULL},
                                           ConstantRow{"OnePointEight", "KELTORANK(1)",
                                                       0xE666666666666666ULL}),
                         RowName());

}  // namespace
}  // namespace ormel
