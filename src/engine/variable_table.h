#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ormel {

/// The variables, sorted by name without regard to letter case; names are held in capitals.
/// Each variable owns one value cell whose address never changes while the variable lives.
class VariableTable {
 public:
  /// The index of the name (compared without regard to case), or -1.
  [[nodiscard]] int find(std::string_view name) const;
  /// Adds a variable (the name already in capitals and known to be absent); returns its cell.
  long double* add(std::string name, long double value);
  /// Removes every variable and releases the cells.
  void clear() {
    m_entries.clear();
    m_wordNames.clear();
  }

  [[nodiscard]] int count() const { return static_cast<int>(m_entries.size()); }
  /// The name of entry index (0 <= index < count()), in sorted order.
  [[nodiscard]] const std::string& name(int index) const;
  [[nodiscard]] long double value(int index) const { return *cell(index); }
  [[nodiscard]] long double* cell(int index) const;
  /// The names that hold "DIV" or "MOD", in the order added.
  [[nodiscard]] const std::vector<std::string>& namesWithOperatorWords() const { return m_wordNames; }

 private:
  struct Entry {
    std::string name;
    std::unique_ptr<long double> cell;
  };
  std::vector<Entry> m_entries;
  std::vector<std::string> m_wordNames;
};

}  // namespace ormel
