#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scratchpad/text_control_port.h"

namespace ormel {

/// What finishing one line gave: the answer written below it, and the message of its error.
struct FinishedLine {
  std::optional<std::string> answer;
  std::optional<std::string> error;
};

/// Finishes line n - 1 as Enter does, writing its answer at the start of line n. Never throws.
using LineFinisher = std::function<FinishedLine(int n)>;

/// A run of text in the pad: position and length in UTF-16 code units.
struct TextSpan {
  int start = 0;
  int length = 0;
  friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

/// The outcome of recalculating the pad.
struct Recalculation {
  /// The lines that were finished.
  int lines = 0;
  /// Answers that differ from the one below their line before, came new or went away.
  int changedCount = 0;
  /// Where the new answers of changedCount stand after the run (the blank before each left out).
  std::vector<TextSpan> changedAnswers;
  /// The lines (from 0) that failed, with their messages, in order.
  std::vector<std::pair<int, std::string>> errors;
  /// The caret's line and column, carried along as lines came and went above or under it.
  int caretLine = 0;
  int caretColumn = 0;
};

/// Finishes every line of the pad from the first to the last with finish, as Enter would. An
/// answer line already below a line (see answerLineAt) is replaced rather than a new one put in,
/// and is removed when the line no longer gives an answer; text typed behind an answer stays and
/// is finished with it. Empty lines, lines of blanks and lines that hold only an answer are passed
/// over. The caret is left where the last edit put it; the result tells where it belongs.
[[nodiscard]] Recalculation recalculateLines(TextControl& pad, Color answerColor, std::string_view separator,
                                             const LineFinisher& finish);

/// "Recalculated 12 lines, 3 answers changed.", with the first failure named after it when a
/// line failed.
[[nodiscard]] std::string recalculationSummary(const Recalculation& run);

}  // namespace ormel
