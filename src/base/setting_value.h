#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace ormel {

/// A colour held in an integer: red in the lowest byte, then green, then blue ($BBGGRR).
using Color = std::int32_t;

/// The value of a setting as the stores hand it out: nothing, a Boolean, a byte, an integer,
/// a floating-point number or text. Conversions never throw; they give no value instead.
class SettingValue {
 public:
  enum class Kind { Empty, Boolean, Byte, Integer, Float, Text };

  SettingValue() = default;
  SettingValue(bool value) : m_value(value) {}               // NOLINT(google-explicit-constructor)
  SettingValue(std::uint8_t value) : m_value(value) {}       // NOLINT(google-explicit-constructor)
  SettingValue(int value) : m_value(std::int64_t{value}) {}  // NOLINT(google-explicit-constructor)
  SettingValue(std::int64_t value) : m_value(value) {}       // NOLINT(google-explicit-constructor)
  SettingValue(double value) : m_value(static_cast<long double>(value)) {}  // NOLINT
  SettingValue(long double value) : m_value(value) {}               // NOLINT(google-explicit-constructor)
  SettingValue(std::string value) : m_value(std::move(value)) {}    // NOLINT(google-explicit-constructor)
  SettingValue(const char* value) : m_value(std::string(value)) {}  // NOLINT

  [[nodiscard]] Kind kind() const;
  [[nodiscard]] bool isEmpty() const { return kind() == Kind::Empty; }

  /// Integers in decimal, Booleans "True"/"False", empty as "", floats in the general number
  /// format, text as it is.
  [[nodiscard]] std::string toText() const;
  /// Whole numbers: integers, bytes, Booleans (true is 1), floats without a fraction within the
  /// 64-bit range, and text of a decimal whole number (optional sign, digits, surrounding blanks
  /// allowed). Empty is 0.
  [[nodiscard]] std::optional<std::int64_t> toInteger() const;
  /// Text "True"/"False" in any letter case, or a number (0 false, anything else true).
  [[nodiscard]] std::optional<bool> toBoolean() const;
  /// Numbers as they are; text through the decimal text-to-number conversion. Empty is 0.
  [[nodiscard]] std::optional<long double> toFloat() const;

  /// Equal as values: the text "3" equals the integer 3; two texts compare exactly.
  friend bool operator==(const SettingValue& a, const SettingValue& b);

 private:
  std::variant<std::monostate, bool, std::uint8_t, std::int64_t, long double, std::string> m_value;
};

}  // namespace ormel
