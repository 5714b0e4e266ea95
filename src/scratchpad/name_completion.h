#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/parser.h"
#include "scratchpad/text_control_port.h"

namespace ormel {

/// The part of a name typed so far, ending at the caret; columns in UTF-16 units.
struct NamePrefix {
  int start = 0;
  int length = 0;
  /// As typed (letter case kept).
  std::string text;
  friend bool operator==(const NamePrefix&, const NamePrefix&) = default;
};

/// The name being typed at caretColumn of line: at least two characters of a name (a letter or
/// "_", then letters, digits or "_") that end at the caret. None inside a number (digits before
/// the name, or a decimal point), after "$" (a hexadecimal constant), or when the caret stands
/// inside a word.
[[nodiscard]] std::optional<NamePrefix> namePrefixAt(std::string_view line, int caretColumn);

/// One entry of the completion list.
struct NameCompletion {
  /// The name in capitals, as the tables hold it.
  std::string name;
  /// What the list shows: "SIN [1 Arg]", "X = 2".
  std::string label;
  bool isFunction = false;
  friend bool operator==(const NameCompletion&, const NameCompletion&) = default;
};

/// The variables and functions whose names begin with prefix (letter case aside), sorted by name,
/// a variable before a function of the same name. Variables show their value in the general
/// number format.
[[nodiscard]] std::vector<NameCompletion> completionsFor(const TCustomParser& parser,
                                                         std::string_view prefix);

/// Offers the names that complete what is typed at the scratch pad's caret, and puts a chosen
/// one in its place.
class NameCompleter {
 public:
  /// Inserts a text at the caret, as a function call or not (the window's pasteVariable).
  using Paste = std::function<void(const std::string& text, bool isFunction)>;

  /// Both must outlive the completer.
  NameCompleter(TextControl& scratchPad, const TCustomParser& parser, Paste paste);

  /// The choices for the name that ends at the caret; empty when there is no such name, or
  /// nothing begins with it.
  [[nodiscard]] std::vector<NameCompletion> choicesAtCaret() const;
  /// Replaces the name typed before the caret by choice: a variable by its name, a function by
  /// NAME() with the caret between the brackets, or, when a "(" follows already, by NAME with
  /// the caret behind that bracket. Nothing happens when no name ends at the caret.
  void accept(const NameCompletion& choice);

 private:
  [[nodiscard]] std::optional<NamePrefix> prefixAtCaret() const;

  TextControl& m_scratchPad;
  const TCustomParser& m_parser;
  Paste m_paste;
};

}  // namespace ormel
