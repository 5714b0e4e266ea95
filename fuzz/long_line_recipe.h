#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ormel::fuzzing {

inline constexpr char kRecipeMark = '\x01';
inline constexpr std::size_t kLongestLine = 1 << 20;

/// Short inputs that stand for long or deep lines, so the fuzzer reaches lines of up to 1 MB
/// without mutating megabytes: "\x01", two bytes of count n, then head "\x01" middle "\x01" tail
/// gives head n times, middle, tail n times ("(" 1 ")" nests; "" "1" "+1" chains). Any other
/// input is the text itself.
inline std::string expandRecipe(std::string_view input) {
  if (input.size() < 3 || input[0] != kRecipeMark) return std::string(input);
  std::size_t count = static_cast<std::uint8_t>(input[1]) * 256U + static_cast<std::uint8_t>(input[2]);
  std::string_view rest = input.substr(3);
  const std::size_t headEnd = std::min(rest.find(kRecipeMark), rest.size());
  const std::string_view head = rest.substr(0, headEnd);
  rest.remove_prefix(std::min(headEnd + 1, rest.size()));
  const std::size_t middleEnd = std::min(rest.find(kRecipeMark), rest.size());
  const std::string_view middle = rest.substr(0, middleEnd);
  const std::string_view tail = rest.substr(std::min(middleEnd + 1, rest.size()));
  const std::size_t unit = head.size() + tail.size();
  if (unit > 0) count = std::min(count * 16, (kLongestLine - middle.size()) / unit);
  std::string text;
  text.reserve(count * unit + middle.size());
  for (std::size_t i = 0; i < count; ++i) text += head;
  text += middle;
  for (std::size_t i = 0; i < count; ++i) text += tail;
  return text;
}

}  // namespace ormel::fuzzing
