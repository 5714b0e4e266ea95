#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "scratchpad/text_control_port.h"

namespace ormel {

/// The answer at the start of a line, as finishing the line above writes it: one blank, then the
/// answer, then whatever the user typed behind it.
struct AnswerLine {
  /// The answer without its blank.
  std::string answer;
  /// The blank and the answer, in UTF-16 code units.
  int length = 0;
  /// True when nothing follows the answer on its line.
  bool alone = false;
};

/// The length in UTF-16 code units of the longest start of text that reads as an answer of the
/// number format: a sign, digits, the separator (or a point) and digits, an exponent ("E", sign,
/// digits); or "INF", "-INF", "NAN". 0 when text does not start with one.
[[nodiscard]] int answerTextLength(std::u16string_view text, std::u16string_view separator);

/// The answer that line n starts with, if any: a blank followed by an answer whose characters are
/// in answerColor (it ends where that colour ends, so text typed behind it stays apart), or a line
/// of nothing but a blank and an answer in any colour (a sheet loaded from plain text, or one
/// written with another answer colour).
[[nodiscard]] std::optional<AnswerLine> answerLineAt(const TextControl& pad, int n, Color answerColor,
                                                     std::string_view separator);

}  // namespace ormel
