#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/store_support.h"
#include "engine/parser.h"
#include "scratchpad/statusbar.h"
#include "scratchpad/widget_port.h"

namespace ormel {

inline constexpr const char* kInvalidVariableName = "Invalid variable name";
inline constexpr const char* kNoDefinedVariables = "No defined variables";

/// What addVariableString made of a line; the values are those its callers have always seen.
enum class AssignmentResult {
  /// The line holds no "=".
  kNotAnAssignment = 0,
  /// An assignment, carried out (or its failure reported).
  kHandled = 1,
  /// The name before "=" was refused.
  kNameRefused = 2,
};

/// The user's named values: turns assignment lines into entries of the parser's variable table,
/// shows the listed variables (those whose value is not 0) in the variable editor's list and the
/// variables list label, and keeps them in vars.xml.
class TSavedVariables {
 public:
  /// All five must outlive the store.
  TSavedVariables(TCustomParser& parser, TStatusInfo& statusInfo, ComboBox& varsDropDown,
                  Label& varsTextLabel, Label& varsLabelItem);

  /// Carries out an assignment "name=expression" (blanks are removed first). A right-hand side
  /// that does not compile is reported through the parser's error event and changes nothing,
  /// yet counts as handled; a refused name gives its reason in message. Errors of evaluation
  /// and EBadName propagate.
  AssignmentResult addVariableString(const std::string& line, std::string& message);
  /// Refreshes the variable editor's list, the list label's caption and both labels' hints.
  void UpdateVariableListBox();
  /// Adds the variables of a vars.xml to the table. False when the file is missing, foreign or
  /// holds no "variable" element. A value is read with the regional decimal separator, else with
  /// the other of "." and ",", so files written under another locale read the same. An entry
  /// whose value is still no number, or whose name the parser refuses, is skipped and noted;
  /// every other entry loads.
  bool Load(const std::string& path, LoadNotes* notes = nullptr);
  /// Writes the listed variables to a vars.xml, atomically; throws EFCreateError.
  void Save(const std::string& path) const;
  /// The text Save writes.
  [[nodiscard]] std::string fileText() const;
  /// Called after every refresh of the list, which every change of the variables ends with.
  void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

 private:
  TCustomParser& m_parser;
  TStatusInfo& m_statusInfo;
  ComboBox& m_varsDropDown;
  Label& m_varsTextLabel;
  Label& m_varsLabelItem;
  std::function<void()> m_onChange;
};

/// True when the text's first character is a digit "0" to "9".
[[nodiscard]] bool startsWithNumber(std::string_view text);

}  // namespace ormel
