#pragma once

#include <functional>
#include <optional>
#include <string>

#include "config/prefs.h"
#include "engine/parser.h"
#include "scratchpad/answer_line.h"
#include "scratchpad/error_marks.h"
#include "scratchpad/recalculation.h"
#include "scratchpad/savevars.h"
#include "scratchpad/statusbar.h"
#include "scratchpad/text_control_port.h"
#include "scratchpad/widget_port.h"

namespace ormel {

/// Shows an error that nothing caught inside a handler (the window: a message box).
using ApplicationErrorReport = std::function<void(const std::string& message)>;

/// The main window's logic without its widgets: the scratch pad's keyboard rules (finishing a
/// line evaluates it and writes the answer below it), the variable editor and the functions
/// drop-down, Clear Screen and Clear Variables. The window forwards its widgets' events here.
class MainWindowLogic final : public KeyEventSink {
 public:
  /// Connects the parser's error event to ParserParserError. Everything must outlive the logic.
  MainWindowLogic(TextControl& scratchPad, TParser& parser, TOrmelPrefs& prefs,
                  TSavedVariables& savedVariables, TStatusInfo& statusInfo, ComboBox& varsDropDown,
                  ApplicationErrorReport report);
  ~MainWindowLogic() override;
  MainWindowLogic(const MainWindowLogic&) = delete;
  MainWindowLogic& operator=(const MainWindowLogic&) = delete;

  /// Runs a handler as the window's event loop does: a silent abort (EAbort) ends it without a
  /// report, any other error ends it and goes to the error report. True when it ran to its end.
  bool runHandler(const std::function<void()>& handler);

  /// The scratch pad's key events, each run through runHandler.
  void keyDown(int key, KeyModifiers modifiers) override;
  /// False when the character is to be discarded (the handler aborted or failed).
  bool keyPress(char32_t character, KeyModifiers modifiers) override;
  void keyUp(int key, KeyModifiers modifiers) override;
  /// Clears the one-shot flag, as any key release does, and does nothing else.
  void strayKeyUp(int key, KeyModifiers modifiers) override;

  /// Key-down rule: a caret that types in the answer colour switches to the expression colour.
  void ScratchPadKeyDown(int key, KeyModifiers modifiers);
  /// Character rule: a character typed with Ctrl held (AltGr, that is Ctrl+Alt, excepted, but
  /// never Ctrl+Enter's) is discarded by a silent abort.
  void ScratchPadKeyPress(char32_t character, KeyModifiers modifiers);
  /// Key-up rule: the one-shot flag, the leading-zero fix, and Enter, Ctrl+Enter or F2 finishing
  /// a line.
  void ScratchPadKeyUp(int key, KeyModifiers modifiers);
  /// The parser's error event: its message in red on the status line.
  void ParserParserError(TCustomParser& sender, const Exception& error);
  /// Gives a decimal point that lacks its leading zero one (a line starting with ".", or the
  /// first of "(.", "+.", "-.", "*.", "/.", "^." found); true when line n was changed.
  bool FixDecimalWithOutLeadingZero(int n);

  /// Inserts text at the caret in bold, in the function colour with the caret put in front of its
  /// last character when isFunction, else in the expression colour.
  void pasteVariable(const std::string& text, bool isFunction);
  /// The variable editor accepts newText (Enter): the assignment is carried out, a failure shown
  /// in red, the editor emptied, and the next key release in the scratch pad ignored.
  void VarsDropDownAcceptText(std::string& newText, bool& accept);
  /// The editor's "Paste" entry: the name before the editor text's first "=" goes in.
  void PasteClick();
  /// A functions drop-down item such as "SIN [1 Arg]" goes in as "SIN()" with the caret between
  /// the brackets.
  void FuncsDropDownItemClick(const std::string& item);
  /// A text typed into the functions drop-down: an item's text as FuncsDropDownItemClick takes
  /// it, a bare name as that name with "()".
  void FuncsDropDownAcceptText(const std::string& text);
  /// Removes all text of the scratch pad.
  void ClearScreenExecute();
  /// Empties the variable table and the variables list.
  void ClearVariablesExecute();
  /// Finishes every line of the pad again from the top with the variables as they are (see
  /// recalculateLines). Errors go to the status line one by one and into its history with their
  /// line numbers, never to the error report; the caret returns to its line and column, and the
  /// status line sums the run up. The error marks are made afresh, for the failing lines only.
  Recalculation RecalculateExecute();
  /// The answer line n starts with, in today's answer colour and separator (see answerLineAt).
  [[nodiscard]] std::optional<AnswerLine> answerLineAt(int n) const;

  /// The lines whose last evaluation failed, each marked where it failed. Evaluating a line
  /// marks it or, when it succeeds, takes its mark away.
  [[nodiscard]] ErrorMarks& errorMarks() { return m_errorMarks; }

 private:
  /// Evaluates line n - 1 (writeAnswerBelow), marks its outcome on it and gives the answer
  /// written at the start of line n.
  std::optional<std::string> evaluateFinishedLine(int n);
  std::optional<std::string> writeAnswerBelow(int n);
  void markOutcome(int line, const std::optional<LineFailure>& failure);
  /// evaluateFinishedLine with what it raises shown as the parser's errors are.
  FinishedLine finishLineForRecalculation(int n);
  void placeCaretAfterAnswer(int n);
  [[nodiscard]] std::string decimalSeparator() const;
  void pasteFunction(const std::string& text);

  TextControl& m_scratchPad;
  TParser& m_parser;
  TOrmelPrefs& m_prefs;
  TSavedVariables& m_savedVariables;
  TStatusInfo& m_statusInfo;
  ComboBox& m_varsDropDown;
  ApplicationErrorReport m_report;
  ErrorMarks m_errorMarks;
  /// While a line is evaluated: set when it has failed, even where nothing is raised.
  std::optional<LineFailure> m_lineFailure;
  bool m_evaluatingLine = false;
};

/// Puts the caret into line n at column (limited to the line's length), then scrolls to it.
void SetCaretAtPos(TextControl& control, int column, int n);

/// Cuts an answer after places digits behind its first separator: truncation, not rounding; the
/// separator stays with 0 places. In scientific form only the mantissa is cut, the exponent stays.
[[nodiscard]] std::string truncateAnswer(const std::string& answer, const std::string& separator, int places);

}  // namespace ormel
