#include "base/number_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "support/row_name.h"

namespace ormel {
namespace {

struct FormatCase {
  const char* name;
  long double value;
  const char* expected;
};

class FloatToStrTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FloatToStrTest, Formats) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(FloatToStr(GetParam().value), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    GeneralFormat, FloatToStrTest,
    testing::Values(
        FormatCase{"zero", 0.0L, "0"}, FormatCase{"negativeZero", -0.0L, "0"}, FormatCase{"one", 1.0L, "1"},
        FormatCase{"negative", -2.5L, "-2.5"}, FormatCase{"third", 1.0L / 3.0L, "0.333333333333333"},
        FormatCase{"twoThirds", 2.0L / 3.0L, "0.666666666666667"},
        FormatCase{"smallestFixed", 1e-4L, "0.0001"}, FormatCase{"firstScientificSmall", 1e-5L, "1E-5"},
        FormatCase{"scientificMantissa", 1.5e-10L, "1.5E-10"},
        FormatCase{"firstScientificLarge", 1e15L, "1E15"},
        FormatCase{"largestFixed", 999999999999999.0L, "999999999999999"},
        FormatCase{"roundsUpToScientific", 9999999999999999.0L, "1E16"},
        FormatCase{"carryIntoNewDigit", 0.99999999999999999L, "1"},
        FormatCase{"padsZeros", 1230000.0L, "1230000"}, FormatCase{"fixedFraction", 123.456L, "123.456"},
        FormatCase{"sixteenthDigitFive", 1.000000000000005L, "1.00000000000001"},
        FormatCase{"sixteenthDigitFour", 1.000000000000004L, "1"},
        FormatCase{"largeExponent", 1.23456789e300L, "1.23456789E300"},
        FormatCase{"extendedOnly", 1e4000L, "1E4000"},
        FormatCase{"pi", 3.14159265358979323846L, "3.14159265358979"},
        FormatCase{"infinity", std::numeric_limits<long double>::infinity(), "INF"},
        FormatCase{"minusInfinity", -std::numeric_limits<long double>::infinity(), "-INF"},
        FormatCase{"nan", std::numeric_limits<long double>::quiet_NaN(), "NAN"},
        FormatCase{"denormal", std::numeric_limits<long double>::denorm_min(), "3.64519953188247E-4951"}),
    testing_support::RowName());

struct ParseCase {
  const char* name;
  const char* text;
  bool accepted;
  long double value;
};

class TextToFloatTest : public testing::TestWithParam<ParseCase> {};

TEST_P(TextToFloatTest, Parses) {
  std::setlocale(LC_ALL, "C");
  const auto result = textToFloat(GetParam().text);
  ASSERT_EQ(result.has_value(), GetParam().accepted) << GetParam().name;
  if (result) {
    EXPECT_EQ(*result, GetParam().value) << GetParam().name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    DecimalForm, TextToFloatTest,
    testing::Values(
        ParseCase{"integer", "12", true, 12}, ParseCase{"blanksAround", " -3.5e-2 ", true, -3.5e-2L},
        ParseCase{"lonePoint", ".", true, 0}, ParseCase{"minusPoint", "-.", true, 0},
        ParseCase{"lonePlus", "+", false, 0}, ParseCase{"empty", "", false, 0},
        ParseCase{"blanks", "   ", false, 0}, ParseCase{"exponentWithoutDigits", "1e", true, 1},
        ParseCase{"exponentSignOnly", "2E+", true, 2}, ParseCase{"comma", "1,5", false, 0},
        ParseCase{"innerBlank", "1 2", false, 0}, ParseCase{"exponent600", "1e600", true, 1e600L},
        ParseCase{"exponentDigitLeftOver", "1e6000", false, 0}, ParseCase{"overflow", "1e4999", false, 0},
        ParseCase{"leadingTab", "\t1", false, 0}, ParseCase{"underflowIsNumber", "1e-4990", true, 0},
        ParseCase{"exponentOnly", "E5", false, 0}, ParseCase{"fractionOnly", ".25", true, 0.25L},
        ParseCase{"trailingPoint", "7.", true, 7}, ParseCase{"signedExponent", "5E-1", true, 0.5L},
        ParseCase{"hex", "$FF", false, 0}, ParseCase{"word", "INF", false, 0},
        ParseCase{"twoSigns", "+-1", false, 0}, ParseCase{"blankAfterSign", "- 1", false, 0},
        ParseCase{"secondPoint", "1.2.3", false, 0}),
    testing_support::RowName());

TEST(NumberFormatLocale, UsesRegionalSeparator) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  EXPECT_EQ(regionalDecimalSeparator(), ",");
  EXPECT_EQ(FloatToStr(-2.5L), "-2,5");
  EXPECT_EQ(FloatToStr(1.5e-10L), "1,5E-10");
  EXPECT_EQ(textToFloat("1,5"), 1.5L);
  EXPECT_FALSE(textToFloat("1.5").has_value());
  std::setlocale(LC_ALL, "C");
}

TEST(NumberFormatRoundTrip, FifteenDigitsReadBack) {
  std::setlocale(LC_ALL, "C");
  for (long double v : {1.0L / 7, 12345.678901234L, -9.87654321e-7L, 6.02214076e23L}) {
    const std::string text = FloatToStr(v);
    const auto back = textToFloat(text);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(FloatToStr(*back), text);
  }
}

}  // namespace
}  // namespace ormel
