#pragma once

#include <ostream>
#include <string>

namespace ormel::testing_support {

/// A row of a table of expressions: its name, the text, and what compiling and evaluating the
/// text gives (see outcome()). A failure prints the text.
struct OutcomeRow {
  std::string name;
  std::string text;
  std::string expected;
  friend void PrintTo(const OutcomeRow& row, std::ostream* os) { *os << row.text; }
};

}  // namespace ormel::testing_support
