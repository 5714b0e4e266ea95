#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ormel {

/// The decimal separator of the user's regional number format (LC_NUMERIC), "." in the C locale.
[[nodiscard]] std::string regionalDecimalSeparator();

/// The general number format: the one conversion of a floating-point value to text.
/// The magnitude is taken as its nearest 18-digit decimal, rounded to 15 significant digits,
/// trailing zeros dropped; fixed notation for magnitudes from 1E-4 up to below 1E15, scientific
/// ("1.5E-10", "1E15") otherwise; "INF", "-INF", "NAN" and "0". Uses the regional separator.
[[nodiscard]] std::string FloatToStr(long double value);

/// The decimal text-to-number conversion: optional blanks, sign, digits, the regional separator,
/// digits, and an exponent ("E", sign, digits taken while the exponent is below 500), blanks.
/// Empty when the text is not of that form or the value overflows the extended range;
/// underflow gives 0 or a denormal. Never throws.
[[nodiscard]] std::optional<long double> textToFloat(std::string_view text);

}  // namespace ormel
