#pragma once

#include <string>
#include <string_view>

namespace ormel {

/// True when the decimal text-to-number conversion accepts the whole text (see textToFloat).
[[nodiscard]] bool isNum(std::string_view text);

/// Replaces, in place, the first occurrence of pattern by replacement, searching again from the
/// start after each replacement, until the pattern no longer occurs. Changes nothing when the
/// pattern is empty or occurs inside the replacement.
void Replace(std::string& text, std::string_view pattern, std::string_view replacement);

/// Breaks a one-line text into lines of at most width characters, at blanks: each broken line
/// keeps its blank and ends with CR LF; the last line has no CR LF. A word longer than the width
/// is broken hard at the width. A text shorter than the width comes back unchanged.
[[nodiscard]] std::string FormatForLabel(std::string_view text, int width);

/// Asks the system to give the process's unused heap pages back (malloc_trim); the results are
/// ignored, so it never fails.
void TrimWorkingSet();

}  // namespace ormel
