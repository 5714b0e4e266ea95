#include "base/setting_value.h"

#include <gtest/gtest.h>

#include <clocale>

#include "support/row_name.h"

namespace ormel {
namespace {

TEST(SettingValue, ToText) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(SettingValue().toText(), "");
  EXPECT_EQ(SettingValue(true).toText(), "True");
  EXPECT_EQ(SettingValue(false).toText(), "False");
  EXPECT_EQ(SettingValue(std::uint8_t{3}).toText(), "3");
  EXPECT_EQ(SettingValue(16777215).toText(), "16777215");
  EXPECT_EQ(SettingValue(-12).toText(), "-12");
  EXPECT_EQ(SettingValue(1.0L / 3).toText(), "0.333333333333333");
  EXPECT_EQ(SettingValue("Verdana").toText(), "Verdana");
}

struct IntegerCase {
  const char* name;
  SettingValue value;
  std::optional<std::int64_t> expected;
};

class SettingValueInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(SettingValueInteger, Converts) { EXPECT_EQ(GetParam().value.toInteger(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Conversions, SettingValueInteger,
    testing::Values(IntegerCase{"text", SettingValue("65535"), 65535},
                    IntegerCase{"negativeText", SettingValue("-7"), -7},
                    IntegerCase{"blanksAround", SettingValue(" 12 "), 12},
                    IntegerCase{"fraction", SettingValue("1.5"), std::nullopt},
                    IntegerCase{"word", SettingValue("abc"), std::nullopt},
                    IntegerCase{"emptyText", SettingValue(""), std::nullopt},
                    IntegerCase{"signOnly", SettingValue("-"), std::nullopt},
                    IntegerCase{"tooLarge", SettingValue("9223372036854775808"), std::nullopt},
                    IntegerCase{"smallest", SettingValue("-9223372036854775808"), INT64_MIN},
                    IntegerCase{"empty", SettingValue(), 0}, IntegerCase{"boolean", SettingValue(true), 1},
                    IntegerCase{"wholeFloat", SettingValue(3.0L), 3},
                    IntegerCase{"fractionFloat", SettingValue(3.5L), std::nullopt}),
    testing_support::RowName());

TEST(SettingValue, ToBoolean) {
  EXPECT_EQ(SettingValue("True").toBoolean(), true);
  EXPECT_EQ(SettingValue("TRUE").toBoolean(), true);
  EXPECT_EQ(SettingValue("false").toBoolean(), false);
  EXPECT_EQ(SettingValue("0").toBoolean(), false);
  EXPECT_EQ(SettingValue("1").toBoolean(), true);
  EXPECT_EQ(SettingValue("-2.5").toBoolean(), true);
  EXPECT_EQ(SettingValue("yes").toBoolean(), std::nullopt);
  EXPECT_EQ(SettingValue(7).toBoolean(), true);
}

TEST(SettingValue, EqualAsValues) {
  EXPECT_EQ(SettingValue("3"), SettingValue(3));
  EXPECT_EQ(SettingValue(std::uint8_t{3}), SettingValue(3));
  EXPECT_EQ(SettingValue(3), SettingValue(3.0L));
  EXPECT_NE(SettingValue("3"), SettingValue(4));
  EXPECT_NE(SettingValue("abc"), SettingValue("ABC"));
  EXPECT_EQ(SettingValue("abc"), SettingValue("abc"));
  EXPECT_NE(SettingValue("abc"), SettingValue(0));
  EXPECT_EQ(SettingValue(), SettingValue());
}

}  // namespace
}  // namespace ormel
