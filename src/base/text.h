#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ormel {

/// ASCII a-z to A-Z; every other byte stays as it is (texts are 8-bit/UTF-8 bytes).
[[nodiscard]] std::string upperCaseAscii(std::string_view text);
/// ASCII A-Z to a-z; every other byte stays as it is.
[[nodiscard]] std::string lowerCaseAscii(std::string_view text);
/// Equal when equal after lowerCaseAscii of both sides.
[[nodiscard]] bool sameTextAscii(std::string_view a, std::string_view b);
/// Orders as a case-insensitive sorted list does: by lowerCaseAscii, byte by byte.
[[nodiscard]] int compareTextAscii(std::string_view a, std::string_view b);
/// The text without leading and trailing blanks and control characters (code <= 32).
[[nodiscard]] std::string_view trimmed(std::string_view text);
/// The text cut to at most maxBytes bytes (not inside a UTF-8 sequence) followed by "...", so
/// that a huge value cannot fill a message; shorter texts are returned whole.
[[nodiscard]] std::string abbreviated(std::string_view text, std::size_t maxBytes);
/// The first named items joined by separator, then "and N more" for the rest, so that a long
/// list cannot fill a message either.
[[nodiscard]] std::string firstOf(const std::vector<std::string>& items, std::size_t named,
                                  std::string_view separator);

}  // namespace ormel
