#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace ormel {

/// What part of a finished line a failure concerns.
enum class LineFailureKind {
  /// The expression failed to compile or to evaluate (of an assignment, its right-hand side).
  kExpression,
  /// The name of an assignment was refused.
  kName,
  /// A "$" constant did not convert.
  kHexToken,
};

/// Why a finished line produced no answer.
struct LineFailure {
  LineFailureKind kind = LineFailureKind::kExpression;
  /// The message the user was shown.
  std::string message;
  /// For kHexToken: the constant that did not convert, "$" included, in capitals.
  std::string token;
};

/// The failure that an error raised while a line was evaluated stands for: a conversion error
/// names its "$" constant, a refused variable name its name; anything else is the expression's.
[[nodiscard]] LineFailure lineFailureOf(const std::exception& error);

/// A part of a line, in UTF-16 columns.
struct LineSpan {
  int start = 0;
  int length = 0;
  friend bool operator==(const LineSpan&, const LineSpan&) = default;
};

/// Where failure stands in line (the text as the user typed it, blanks and small letters
/// included): the constant or the name it names, else the expression (after the first "=" in an
/// assignment). Blanks around the part are left out; empty only for a blank line.
[[nodiscard]] LineSpan errorSpanIn(std::string_view line, const LineFailure& failure);

}  // namespace ormel
