#include "scratchpad/recalculation.h"

#include "base/unicode_text.h"
#include "scratchpad/answer_line.h"

namespace ormel {

namespace {

bool onlyBlanks(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

std::string counted(int count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

Recalculation recalculateLines(TextControl& pad, Color answerColor, std::string_view separator,
                               const LineFinisher& finish) {
  Recalculation run;
  run.caretLine = pad.caretLine();
  run.caretColumn = pad.selStart() - pad.lineStart(run.caretLine);
  std::vector<std::pair<int, int>> changed;  // line and answer length; lines above never move later
  const auto answerAt = [&](int n) { return answerLineAt(pad, n, answerColor, separator); };
  const auto endOf = [&](int n) { return pad.lineStart(n) + pad.lineLength(n); };

  int k = 0;
  while (k < pad.lineCount()) {
    if (onlyBlanks(pad.line(k))) {
      ++k;
      continue;
    }
    const std::optional<AnswerLine> own = answerAt(k);
    if (own && own->alone) {
      ++k;
      continue;
    }
    ++run.lines;
    const int slot = k + 1;
    const std::optional<AnswerLine> old = answerAt(slot);
    if (old) {
      pad.setSelStart(pad.lineStart(slot));
      pad.setSelLength(old->length);
      pad.setSelText("");
    } else {
      // A fresh line below, as the Enter at the end of line k would open.
      pad.setSelStart(endOf(k));
      pad.setSelText("\n");
      if (run.caretLine > k) ++run.caretLine;
    }

    const FinishedLine result = finish(slot);
    if (result.error) run.errors.emplace_back(k, *result.error);
    const bool answered = result.answer.has_value();
    if (answered != old.has_value() || (answered && *result.answer != old->answer)) {
      ++run.changedCount;
      if (answered) changed.emplace_back(slot, utf16Length(*result.answer));
    }

    if (!answered && pad.lineLength(slot) == 0) {
      pad.setSelStart(endOf(k));
      pad.setSelLength(1);
      pad.setSelText("");
      if (run.caretLine > slot) {
        --run.caretLine;
      } else if (run.caretLine == slot) {
        run.caretLine = k;
      }
      ++k;
      continue;
    }
    // Text behind the answer, or left without one, makes the line below one to finish too.
    const bool answerOnly = answered && pad.lineLength(slot) == utf16Length(*result.answer) + 1;
    k = answerOnly ? slot + 1 : slot;
  }

  for (const auto& [line, length] : changed)
    run.changedAnswers.push_back(TextSpan{pad.lineStart(line) + 1, length});
  return run;
}

std::string recalculationSummary(const Recalculation& run) {
  std::string summary =
      "Recalculated " + counted(run.lines, "line") + ", " + counted(run.changedCount, "answer") + " changed.";
  if (run.errors.empty()) return summary;
  const auto& [line, message] = run.errors.front();
  if (run.errors.size() == 1) return summary + " Line " + std::to_string(line + 1) + " failed: " + message;
  return summary + " " + counted(static_cast<int>(run.errors.size()), "line") + " failed, the first line " +
         std::to_string(line + 1) + ": " + message;
}

}  // namespace ormel
