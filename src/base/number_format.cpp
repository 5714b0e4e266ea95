#include "number_format.h"

#include <locale.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ormel {

namespace {

constexpr int kExponentLimit = 500;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// strtold follows the current locale; the text we hand it always uses ".".
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

std::string regionalDecimalSeparator() {
  const lconv* conv = std::localeconv();
  if (conv == nullptr || conv->decimal_point == nullptr || conv->decimal_point[0] == '\0') return ".";
  return conv->decimal_point;
}

std::string FloatToStr(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";

  // 18 significant digits, correctly rounded: "d.ddddddddddddddddde[+-]x".
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17Le", static_cast<long double>(std::fabs(value)));
  std::string digits;
  const char* p = buffer;
  for (; *p != 'e'; ++p) {
    if (isDigit(*p)) digits.push_back(*p);
  }
  int exponent = std::atoi(p + 1) + 1;  // magnitude = 0.d1d2... x 10^exponent

  // Round the 18 digits to 15, a 16th digit of 5 or more rounding up.
  const bool roundUp = digits[15] >= '5';
  digits.resize(15);
  if (roundUp) {
    int i = 14;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
      digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i < 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[static_cast<std::size_t>(i)];
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  const std::string separator = regionalDecimalSeparator();
  const int count = static_cast<int>(digits.size());
  std::string result = value < 0 ? "-" : "";
  if (exponent > 15 || exponent < -3) {
    result += digits[0];
    if (count > 1) result += separator + digits.substr(1);
    result += 'E';
    const int shown = exponent - 1;
    if (shown < 0) result += '-';
    result += std::to_string(shown < 0 ? -shown : shown);
  } else if (exponent <= 0) {
    result += "0" + separator + std::string(static_cast<std::size_t>(-exponent), '0') + digits;
  } else if (count <= exponent) {
    result += digits + std::string(static_cast<std::size_t>(exponent - count), '0');
  } else {
    result += digits.substr(0, static_cast<std::size_t>(exponent)) + separator +
              digits.substr(static_cast<std::size_t>(exponent));
  }
  return result;
}

std::optional<long double> textToFloat(std::string_view text) {
  const std::string separator = regionalDecimalSeparator();
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;

  std::string normal;  // the number rewritten for strtold: sign, digits, ".", digits, "e", exponent
  if (i < n && (text[i] == '+' || text[i] == '-')) normal.push_back(text[i++]);

  bool took = false;
  bool anyDigit = false;
  while (i < n && isDigit(text[i])) {
    normal.push_back(text[i++]);
    took = anyDigit = true;
  }
  if (text.substr(i).starts_with(separator)) {
    i += separator.size();
    took = true;
    normal.push_back('.');
    while (i < n && isDigit(text[i])) {
      normal.push_back(text[i++]);
      anyDigit = true;
    }
  }
  if (!took) return std::nullopt;
  if (!anyDigit) normal.insert(normal.end() - 1, '0');  // a lone separator reads as 0

  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int exponent = 0;
    while (i < n && isDigit(text[i]) && exponent < kExponentLimit) {
      exponent = exponent * 10 + (text[i++] - '0');
    }
    normal += negative ? "e-" : "e";
    normal += std::to_string(exponent);
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return std::nullopt;

  errno = 0;
  char* end = nullptr;
  const long double value = strtold_l(normal.c_str(), &end, cLocale());
  if (end == nullptr || *end != '\0') return std::nullopt;
  if (std::isinf(value)) return std::nullopt;
  return value;
}

}  // namespace ormel
