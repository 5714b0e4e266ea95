#include "setting_value.h"

#include <cmath>
#include <limits>

#include "number_format.h"
#include "text.h"

namespace ormel {

namespace {

std::optional<std::int64_t> parseWholeNumber(std::string_view text) {
  text = trimmed(text);
  if (text.empty()) return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return std::nullopt;
  // Accumulate as a negative number so that the most negative value fits.
  std::int64_t value = 0;
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (value < (kMin + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == kMin) return std::nullopt;
    value = -value;
  }
  return value;
}

}  // namespace

SettingValue::Kind SettingValue::kind() const { return static_cast<Kind>(m_value.index()); }

std::string SettingValue::toText() const {
  switch (kind()) {
    case Kind::Empty:
      return "";
    case Kind::Boolean:
      return std::get<bool>(m_value) ? "True" : "False";
    case Kind::Byte:
      return std::to_string(std::get<std::uint8_t>(m_value));
    case Kind::Integer:
      return std::to_string(std::get<std::int64_t>(m_value));
    case Kind::Float:
      return FloatToStr(std::get<long double>(m_value));
    case Kind::Text:
      return std::get<std::string>(m_value);
  }
  return "";
}

std::optional<std::int64_t> SettingValue::toInteger() const {
  switch (kind()) {
    case Kind::Empty:
      return 0;
    case Kind::Boolean:
      return std::get<bool>(m_value) ? 1 : 0;
    case Kind::Byte:
      return std::get<std::uint8_t>(m_value);
    case Kind::Integer:
      return std::get<std::int64_t>(m_value);
    case Kind::Float: {
      const long double v = std::get<long double>(m_value);
      if (!std::isfinite(v) || v != std::trunc(v) || std::fabs(v) >= std::ldexp(1.0L, 63))
        return std::nullopt;
      return static_cast<std::int64_t>(v);
    }
    case Kind::Text:
      return parseWholeNumber(std::get<std::string>(m_value));
  }
  return std::nullopt;
}

std::optional<bool> SettingValue::toBoolean() const {
  if (kind() == Kind::Text) {
    const std::string& text = std::get<std::string>(m_value);
    if (sameTextAscii(text, "true")) return true;
    if (sameTextAscii(text, "false")) return false;
  }
  if (kind() == Kind::Boolean) return std::get<bool>(m_value);
  const std::optional<long double> number = toFloat();
  if (!number || std::isnan(*number)) return std::nullopt;
  return *number != 0;
}

std::optional<long double> SettingValue::toFloat() const {
  switch (kind()) {
    case Kind::Empty:
      return 0.0L;
    case Kind::Boolean:
      return std::get<bool>(m_value) ? 1.0L : 0.0L;
    case Kind::Byte:
      return static_cast<long double>(std::get<std::uint8_t>(m_value));
    case Kind::Integer:
      return static_cast<long double>(std::get<std::int64_t>(m_value));
    case Kind::Float:
      return std::get<long double>(m_value);
    case Kind::Text:
      return textToFloat(std::get<std::string>(m_value));
  }
  return std::nullopt;
}

bool operator==(const SettingValue& a, const SettingValue& b) {
  using Kind = SettingValue::Kind;
  const Kind ka = a.kind();
  const Kind kb = b.kind();
  if (ka == Kind::Text && kb == Kind::Text) return a.toText() == b.toText();
  if (ka == Kind::Empty && kb == Kind::Empty) return true;
  // A text against a number compares as numbers when the text reads as one.
  const std::optional<long double> x = a.toFloat();
  const std::optional<long double> y = b.toFloat();
  if (x && y) return *x == *y;
  return a.toText() == b.toText();
}

}  // namespace ormel
