#include "base/utility_routines.h"

#include <gtest/gtest.h>

#include <clocale>

#include "support/row_name.h"

namespace ormel {
namespace {

TEST(IsNum, AcceptsWhatTheConversionAccepts) {
  std::setlocale(LC_ALL, "C");
  // Detailed boundaries live with the conversion; these rows pin the link between the two.
  EXPECT_TRUE(isNum("42"));
  EXPECT_TRUE(isNum("-3.5"));
  EXPECT_TRUE(isNum("1e3"));
  EXPECT_FALSE(isNum("2+3"));
  EXPECT_FALSE(isNum("1e4999"));
}

struct ReplaceCase {
  const char* name;
  const char* text;
  const char* pattern;
  const char* replacement;
  const char* expected;
};

class ReplaceTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTest, ReplacesInPlace) {
  std::string text = GetParam().text;
  Replace(text, GetParam().pattern, GetParam().replacement);
  EXPECT_EQ(text, GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Rules, ReplaceTest,
                         testing::Values(ReplaceCase{"leadingZero", "(.5+(.5)", "(.", "(0.", "(0.5+(0.5)"},
                                         ReplaceCase{"patternInReplacement", "1.5", ".", ".", "1.5"},
                                         ReplaceCase{"patternInLongerReplacement", "1.5", ".", "..", "1.5"},
                                         ReplaceCase{"commaToPoint", "1,5+2,5", ",", ".", "1.5+2.5"},
                                         ReplaceCase{"emptyPattern", "abc", "", "x", "abc"},
                                         ReplaceCase{"restartsAtStart", "aabb", "ab", "a", "aa"},
                                         ReplaceCase{"newOccurrenceBeforeReplacement", "aaab", "ab", "b",
                                                     "b"},
                                         ReplaceCase{"caseSensitive", "Ab", "ab", "x", "Ab"},
                                         ReplaceCase{"noOccurrence", "123", ",", ".", "123"},
                                         ReplaceCase{"deletes", "a-b-c", "-", "", "abc"}),
                         testing_support::RowName());

TEST(ReplaceTest, LongTextIsLinear) {
  std::string text(200000, ',');
  Replace(text, ",", ".");
  EXPECT_EQ(text, std::string(200000, '.'));
}

struct WrapCase {
  const char* name;
  std::string text;
  int width;
  std::string expected;
};

class FormatForLabelTest : public testing::TestWithParam<WrapCase> {};

TEST_P(FormatForLabelTest, Wraps) {
  EXPECT_EQ(FormatForLabel(GetParam().text, GetParam().width), GetParam().expected) << GetParam().name;
}

const std::string k39(39, 'x');
const std::string k40 = "aaaa bbbb cccc dddd eeee ffff gggg hhhhhh";  // 41: broken at the last blank in 40

INSTANTIATE_TEST_SUITE_P(
    Rules, FormatForLabelTest,
    testing::Values(WrapCase{"empty", "", 40, ""}, WrapCase{"shorterThanWidth", k39, 40, k39},
                    WrapCase{"example", "aaa bbb ccc", 5, "aaa \r\nbbb \r\nccc"},
                    WrapCase{"exactlyWidth", "aaaa bbbbbbbbbb", 15, "aaaa \r\nbbbbbbbbbb"},
                    WrapCase{"lastBlankWithinWidth", k40, 40,
                             "aaaa bbbb cccc dddd eeee ffff gggg \r\nhhhhhh"},
                    WrapCase{"longWordBrokenHard", "abcdefghij", 4, "abcd\r\nefgh\r\nij"},
                    WrapCase{"zeroWidth", "abc def", 0, "abc def"}),
    testing_support::RowName());

TEST(FormatForLabelTest, KeepsEveryCharacter) {
  const std::string text = "The quick brown fox jumps over the lazy dog and keeps running far away";
  std::string joined = FormatForLabel(text, 12);
  Replace(joined, "\r\n", "");
  EXPECT_EQ(joined, text);
}

}  // namespace
}  // namespace ormel
