#include "scratchpad/main_window_logic.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/number_format.h"
#include "base/text.h"
#include "base/unicode_text.h"
#include "base/utility_routines.h"

namespace ormel {

namespace {

// The characters after which a point lacks its leading zero.
constexpr std::string_view kLeadingZeroOperators = "(+-*/^";

constexpr int kEndOfExpression = 0;
constexpr int kEndOfAnswer = 1;
constexpr int kNewLineAfterAnswer = 2;

}  // namespace

MainWindowLogic::MainWindowLogic(TextControl& scratchPad, TParser& parser, TOrmelPrefs& prefs,
                                 TSavedVariables& savedVariables, TStatusInfo& statusInfo,
                                 ComboBox& varsDropDown, ApplicationErrorReport report)
    : m_scratchPad(scratchPad),
      m_parser(parser),
      m_prefs(prefs),
      m_savedVariables(savedVariables),
      m_statusInfo(statusInfo),
      m_varsDropDown(varsDropDown),
      m_report(std::move(report)) {
  m_parser.SetOnParserError(
      [this](TCustomParser& sender, const Exception& error) { ParserParserError(sender, error); });
}

MainWindowLogic::~MainWindowLogic() { m_parser.SetOnParserError(nullptr); }

bool MainWindowLogic::runHandler(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const EAbort&) {
  } catch (const std::exception& error) {
    if (m_report) m_report(error.what());
  }
  return false;
}

void MainWindowLogic::keyDown(int key, KeyModifiers modifiers) {
  runHandler([&] { ScratchPadKeyDown(key, modifiers); });
}

bool MainWindowLogic::keyPress(char32_t character, KeyModifiers modifiers) {
  return runHandler([&] { ScratchPadKeyPress(character, modifiers); });
}

void MainWindowLogic::keyUp(int key, KeyModifiers modifiers) {
  runHandler([&] { ScratchPadKeyUp(key, modifiers); });
}

void MainWindowLogic::strayKeyUp(int /*key*/, KeyModifiers /*modifiers*/) {
  m_varsDropDown.setTag(DropDownTag::kNone);
}

void MainWindowLogic::ScratchPadKeyDown(int /*key*/, KeyModifiers /*modifiers*/) {
  if (m_scratchPad.selAttributes().color == m_prefs.color(ColorPref::Answer)) {
    m_scratchPad.setSelAttributes(CharStyle{m_prefs.color(ColorPref::RegExp), true});
  }
}

void MainWindowLogic::ScratchPadKeyPress(char32_t character, KeyModifiers modifiers) {
  // Ctrl+Enter's character must never reach the text: the key-up rule does its work. Other
  // Ctrl characters are control codes; Ctrl+Alt is AltGr, which types ordinary characters.
  const bool enter = character == U'\r' || character == U'\n';
  if (modifiers.ctrl && (enter || !modifiers.alt)) throw EAbort();
}

void MainWindowLogic::ScratchPadKeyUp(int key, KeyModifiers modifiers) {
  if (m_varsDropDown.tag() != DropDownTag::kNone) {
    m_varsDropDown.setTag(DropDownTag::kNone);
    return;
  }
  if (FixDecimalWithOutLeadingZero(m_scratchPad.caretLine())) return;
  if (key == kVkReturn && !modifiers.ctrl) {
    const int n = m_scratchPad.caretLine();
    if (evaluateFinishedLine(n)) placeCaretAfterAnswer(n);
  } else if (key == kVkReturn || key == kVkF2) {
    // As if the user pressed Enter at the end of the line.
    m_scratchPad.caretToEndOfLine();
    ScratchPadKeyDown(kVkReturn, KeyModifiers{});
    m_scratchPad.setSelText("\n");
    ScratchPadKeyUp(kVkReturn, KeyModifiers{});
  }
}

std::optional<std::string> MainWindowLogic::evaluateFinishedLine(int n) {
  if (n < 1) return std::nullopt;
  m_lineFailure.reset();
  m_evaluatingLine = true;
  std::optional<std::string> answer;
  try {
    answer = writeAnswerBelow(n);
  } catch (const std::exception& error) {
    m_evaluatingLine = false;
    markOutcome(n - 1, lineFailureOf(error));
    throw;
  }
  m_evaluatingLine = false;
  markOutcome(n - 1, m_lineFailure);
  return answer;
}

void MainWindowLogic::markOutcome(int line, const std::optional<LineFailure>& failure) {
  if (!failure) {
    m_errorMarks.unmark(line);
    return;
  }
  const std::string text = m_scratchPad.line(line);
  m_errorMarks.mark(line, errorSpanIn(text, *failure), failure->message, text);
}

std::optional<std::string> MainWindowLogic::writeAnswerBelow(int n) {
  std::string expression = m_scratchPad.line(n - 1);
  if (n < 1 || expression.empty()) return std::nullopt;
  expression = TParser::RemoveBlanks(expression);
  if (expression.empty()) return std::nullopt;
  expression = TParser::ConvertHexToDec(expression);
  const std::string separator = decimalSeparator();
  Replace(expression, separator, ".");

  std::string message;
  if (m_savedVariables.addVariableString(expression, message) == AssignmentResult::kHandled)
    return std::nullopt;
  if (!message.empty()) {
    m_statusInfo.StatusErrorText(0, message);
    m_lineFailure = LineFailure{LineFailureKind::kName, message, {}};
    return std::nullopt;
  }
  if (isNum(expression)) return std::nullopt;
  m_parser.SetExpression(expression);
  if (m_parser.ExpressionError()) return std::nullopt;
  std::string answer = FloatToStr(m_parser.Value());
  // The number format writes the regional separator; the user reads the preferred one.
  Replace(answer, regionalDecimalSeparator(), separator);
  answer = truncateAnswer(answer, separator, m_prefs.decimalPlaces());

  m_scratchPad.setSelStart(m_scratchPad.lineStart(n));
  m_scratchPad.setSelAttributes(CharStyle{m_prefs.color(ColorPref::Answer), true});
  m_scratchPad.setSelText(" " + answer);
  m_scratchPad.setSelAttributes(CharStyle{m_prefs.color(ColorPref::RegExp), true});
  return answer;
}

void MainWindowLogic::placeCaretAfterAnswer(int n) {
  switch (m_prefs.cursorPlacement()) {
    case kEndOfExpression:
      m_scratchPad.setSelStart(m_scratchPad.lineStart(n - 1));
      m_scratchPad.caretToEndOfLine();
      break;
    case kEndOfAnswer:
      m_scratchPad.setSelStart(m_scratchPad.lineStart(n));
      m_scratchPad.caretToEndOfLine();
      break;
    case kNewLineAfterAnswer:
      // Below the last line there is no line to go to: open a fresh one.
      if (m_scratchPad.lineStart(n + 1) < 0) {
        m_scratchPad.setSelStart(m_scratchPad.lineStart(n) + m_scratchPad.lineLength(n));
        m_scratchPad.setSelAttributes(CharStyle{m_prefs.color(ColorPref::RegExp), true});
        m_scratchPad.setSelText("\n");
      }
      m_scratchPad.setSelStart(m_scratchPad.lineStart(n + 1));
      break;
    default:
      break;
  }
}

void MainWindowLogic::ParserParserError(TCustomParser& /*sender*/, const Exception& error) {
  m_statusInfo.StatusErrorText(0, error.message());
  if (m_evaluatingLine) m_lineFailure = LineFailure{LineFailureKind::kExpression, error.message(), {}};
}

bool MainWindowLogic::FixDecimalWithOutLeadingZero(int n) {
  const int start = m_scratchPad.lineStart(n);
  const int length = m_scratchPad.lineLength(n);
  if (start < 0 || length == 0) return false;
  const int column = m_scratchPad.selStart() - start;
  const auto at = [&](int c) {
    return c >= 0 && c < length ? m_scratchPad.characterAt(start + c) : char16_t{0};
  };
  // A key changes the line only beside the caret, and every pattern ends in its point: a point
  // just before or at the caret is the only one that can newly lack its zero. Looking there
  // alone keeps a key's cost independent of the line's length.
  int zeroAt = at(0) == u'.' ? 0 : -1;
  // Two points side by side are no pattern, so at most one of the two places qualifies.
  for (const int point : {column - 1, column}) {
    if (zeroAt >= 0 || point < 1 || at(point) != u'.') continue;
    const char16_t before = at(point - 1);
    if (before < 0x80 && before != 0 &&
        kLeadingZeroOperators.find(static_cast<char>(before)) != std::string_view::npos) {
      zeroAt = point;
    }
  }
  if (zeroAt < 0) return false;
  // The zero takes the style of the character before it, as an edited line's new text does.
  m_scratchPad.setSelStart(start + zeroAt);
  m_scratchPad.setSelText("0");
  SetCaretAtPos(m_scratchPad, column + 1, n);
  return true;
}

void MainWindowLogic::pasteVariable(const std::string& text, bool isFunction) {
  const int n = m_scratchPad.caretLine();
  const int column = m_scratchPad.selStart() - m_scratchPad.lineStart(n);
  m_scratchPad.setSelAttributes(
      CharStyle{m_prefs.color(isFunction ? ColorPref::Function : ColorPref::RegExp), true});
  m_scratchPad.setSelText(text);
  if (isFunction) m_scratchPad.setSelStart(m_scratchPad.lineStart(n) + column + utf16Length(text) - 1);
  m_scratchPad.setSelLength(0);
  m_scratchPad.setSelAttributes(CharStyle{m_prefs.color(ColorPref::RegExp), true});
}

void MainWindowLogic::VarsDropDownAcceptText(std::string& newText, bool& /*accept*/) {
  m_varsDropDown.setTag(DropDownTag::kSkipNextKeyUp);
  std::string message;
  const AssignmentResult result = m_savedVariables.addVariableString(newText, message);
  if (result == AssignmentResult::kNotAnAssignment)
    m_statusInfo.StatusErrorText(0, "Not a variable assignment");
  if (result == AssignmentResult::kNameRefused) m_statusInfo.StatusErrorText(0, message);
  newText.clear();
  m_varsDropDown.setText(newText);
}

void MainWindowLogic::PasteClick() {
  const std::string text = m_varsDropDown.text();
  const std::size_t equals = text.find('=');
  pasteVariable(equals == std::string::npos ? std::string() : text.substr(0, equals), false);
}

void MainWindowLogic::FuncsDropDownItemClick(const std::string& item) { pasteFunction(item); }

void MainWindowLogic::FuncsDropDownAcceptText(const std::string& text) { pasteFunction(text); }

void MainWindowLogic::pasteFunction(const std::string& text) {
  const std::size_t bracket = text.find('[');
  // A bare name typed by hand is taken as it is; an item's name ends one blank before its "[".
  const std::string name = bracket == std::string::npos ? std::string(trimmed(text))
                                                        : text.substr(0, bracket > 0 ? bracket - 1 : 0);
  if (name.empty() && bracket == std::string::npos) return;
  pasteVariable(name + "()", true);
}

void MainWindowLogic::ClearScreenExecute() { m_scratchPad.clear(); }

void MainWindowLogic::ClearVariablesExecute() {
  m_parser.ClearVariables();
  m_savedVariables.UpdateVariableListBox();
}

Recalculation MainWindowLogic::RecalculateExecute() {
  // Every line is evaluated again and marked afresh; an old mark's line number would name
  // another line once answers come and go above it.
  m_errorMarks.clear();
  Recalculation run = recalculateLines(m_scratchPad, m_prefs.color(ColorPref::Answer), decimalSeparator(),
                                       [this](int n) { return finishLineForRecalculation(n); });
  SetCaretAtPos(m_scratchPad, run.caretColumn, run.caretLine);
  for (const auto& [line, message] : run.errors) {
    m_statusInfo.addToHistory("Line " + std::to_string(line + 1) + ": " + message);
  }
  const std::string summary = recalculationSummary(run);
  if (run.errors.empty()) {
    m_statusInfo.StatusText(0, summary);
  } else {
    m_statusInfo.StatusErrorText(0, summary);
  }
  return run;
}

std::optional<AnswerLine> MainWindowLogic::answerLineAt(int n) const {
  return ormel::answerLineAt(m_scratchPad, n, m_prefs.color(ColorPref::Answer), decimalSeparator());
}

FinishedLine MainWindowLogic::finishLineForRecalculation(int n) {
  FinishedLine result;
  const std::size_t errorsBefore = m_statusInfo.errorCount();
  try {
    result.answer = evaluateFinishedLine(n);
  } catch (const EAbort&) {
  } catch (const Exception& error) {
    // A run over many lines must not stop at one of them, nor open a message box per line.
    ParserParserError(m_parser, error);
  } catch (const std::exception& error) {
    m_statusInfo.StatusErrorText(0, error.what());
  }
  if (m_statusInfo.errorCount() != errorsBefore) result.error = m_statusInfo.lastError();
  return result;
}

std::string MainWindowLogic::decimalSeparator() const {
  // An empty separator would delete the point from every answer.
  std::string separator = m_prefs.decimalSeparator();
  return separator.empty() ? std::string(".") : separator;
}

void SetCaretAtPos(TextControl& control, int column, int n) {
  const int start = control.lineStart(n);
  control.setSelStart(start < 0 ? -1 : start + std::clamp(column, 0, control.lineLength(n)));
  control.scrollToCaret();
}

std::string truncateAnswer(const std::string& answer, const std::string& separator, int places) {
  const std::size_t point = answer.find(separator);
  if (point == std::string::npos) return answer;
  const std::size_t exponent = answer.find('E', point + separator.size());
  const std::size_t mantissaEnd = exponent == std::string::npos ? answer.size() : exponent;
  const std::size_t keep =
      std::min(mantissaEnd, point + separator.size() + static_cast<std::size_t>(std::max(places, 0)));
  return answer.substr(0, keep) + answer.substr(mantissaEnd);
}

}  // namespace ormel
