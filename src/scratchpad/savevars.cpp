#include "scratchpad/savevars.h"

#include <charconv>
#include <cmath>
#include <memory>

#include "base/atomic_file.h"
#include "base/number_format.h"
#include "base/text.h"
#include "base/utility_routines.h"
#include "config/xmlnode.h"

namespace ormel {

namespace {

constexpr int kHintWidth = 40;

/// The value as the file holds it: rounded to double precision where that keeps it,
/// the full value where double precision would overflow or lose it to zero.
long double storedValue(long double value) {
  const auto rounded = static_cast<double>(value);
  return std::isfinite(rounded) && (rounded != 0.0 || value == 0.0L) ? rounded : value;
}

/// The value in the success message: a whole number in decimal digits, any other with exactly
/// two decimals, rounded, in the regional separator. Whole numbers beyond 64 bits take the
/// general number format instead of failing to convert.
std::string messageValue(long double value) {
  if (value == std::trunc(value)) {
    if (std::fabs(value) < 0x1p63L) return std::to_string(static_cast<long long>(value));
    return FloatToStr(value);
  }
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  std::string text(buffer, result.ptr);
  Replace(text, ".", regionalDecimalSeparator());
  return text;
}

/// The tree of vars.xml: the listed variables, those whose value is not 0.
std::unique_ptr<TXMLNode> variablesTree(const VariableTable& table) {
  auto root = std::make_unique<TXMLNode>("variables");
  for (int i = 0; i < table.count(); ++i) {
    const long double value = table.value(i);
    if (value == 0.0L) continue;
    TXMLNode& child = root->AddChild("variable");
    child.AddField("name", table.name(i));
    child.AddField("value", storedValue(value));
  }
  return root;
}

/// The value with the regional separator, else with "." and "," exchanged: the window and the
/// terminal companion may run under different locales and read each other's files.
std::optional<long double> storedNumber(const std::string& text) {
  if (const std::optional<long double> value = textToFloat(text)) return value;
  const std::string regional = regionalDecimalSeparator();
  const char* other = regional == "," ? "." : regional == "." ? "," : nullptr;
  if (other == nullptr || text.find(other) == std::string::npos) return std::nullopt;
  std::string swapped = text;
  Replace(swapped, other, regional);
  return textToFloat(swapped);
}

}  // namespace

bool startsWithNumber(std::string_view text) {
  return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

TSavedVariables::TSavedVariables(TCustomParser& parser, TStatusInfo& statusInfo, ComboBox& varsDropDown,
                                 Label& varsTextLabel, Label& varsLabelItem)
    : m_parser(parser),
      m_statusInfo(statusInfo),
      m_varsDropDown(varsDropDown),
      m_varsTextLabel(varsTextLabel),
      m_varsLabelItem(varsLabelItem) {}

AssignmentResult TSavedVariables::addVariableString(const std::string& line, std::string& message) {
  message.clear();
  const std::string text = TParser::RemoveBlanks(line);
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return AssignmentResult::kNotAnAssignment;
  const std::string name = text.substr(0, equals);
  if (name.empty() || startsWithNumber(name)) {
    message = kInvalidVariableName;
    return AssignmentResult::kNameRefused;
  }
  const std::string expression = text.substr(equals + 1);
  // An empty right-hand side would leave the previous compile's state in place; it is a
  // syntax error like any other that does not compile.
  if (expression.empty()) {
    m_statusInfo.StatusErrorText(0, ESyntaxError().message());
    return AssignmentResult::kHandled;
  }
  m_parser.SetExpression(expression);
  if (m_parser.ExpressionError()) return AssignmentResult::kHandled;
  const long double value = m_parser.Value();
  m_parser.SetVariable(name, value);
  UpdateVariableListBox();
  m_statusInfo.StatusText(0, "Set \"" + name + "\" to \"" + messageValue(value) + "\" successfully.");
  return AssignmentResult::kHandled;
}

void TSavedVariables::UpdateVariableListBox() {
  m_varsDropDown.clearItems();
  std::string listText;
  const VariableTable& table = m_parser.Variables();
  for (int i = 0; i < table.count(); ++i) {
    const long double value = table.value(i);
    if (static_cast<double>(value) == 0.0) continue;
    const std::string item = table.name(i) + "=" + FloatToStr(value);
    if (!listText.empty()) listText += ", ";
    listText += item;
    m_varsDropDown.addItem(item);
  }
  if (listText.empty()) listText = kNoDefinedVariables;
  m_varsTextLabel.setCaption(listText);
  const std::string hint = FormatForLabel(listText, kHintWidth);
  m_varsTextLabel.setHint(hint);
  m_varsLabelItem.setHint(hint);
  if (m_onChange) m_onChange();
}

bool TSavedVariables::Load(const std::string& path, LoadNotes* notes) {
  const std::unique_ptr<TXMLNode> root = loadStoreFile(path, "variables", notes);
  if (!root) return false;
  bool found = false;
  for (int i = 0; i < root->GetChildCount(); ++i) {
    const TXMLNode& child = *root->GetChild(i);
    if (child.Name() != "variable") {
      addNote(notes, "<" + abbreviated(child.Name(), kQuotedTextLimit) + "> means nothing here");
      continue;
    }
    found = true;
    const std::string name = child.GetFieldValue("name").toText();
    const std::string valueText = child.GetFieldValue("value").toText();
    const std::string shown = "variable \"" + abbreviated(name, kQuotedTextLimit) + "\" skipped: ";
    const std::optional<long double> value = storedNumber(valueText);
    if (!value) {
      addNote(notes, shown + EConvertError("'" + abbreviated(valueText, kQuotedTextLimit) +
                                           "' is not a valid floating point value")
                                 .message());
      continue;
    }
    try {
      m_parser.SetVariable(name, *value);
      // Taken, but not all of it.
      noteWhatIsNotRead(child, {"name", "value"}, notes);
    } catch (const EBadName&) {
      addNote(notes, shown + "it is no valid name");
    }
  }
  return found;
}

void TSavedVariables::Save(const std::string& path) const {
  variablesTree(m_parser.Variables())->SaveToFile(path);
}

std::string TSavedVariables::fileText() const { return variablesTree(m_parser.Variables())->GetCode(); }

}  // namespace ormel
