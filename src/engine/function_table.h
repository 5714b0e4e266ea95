#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/eval_step.h"

namespace ormel {

/// A list of functions sorted by name without regard to letter case; names are held in capitals.
class FunctionTable {
 public:
  /// Adds the name in capitals with its routine. Throws EStringListError when the name is present.
  void add(std::string_view name, TEvalRoutine function);
  /// The index of the name (compared without regard to case), or -1.
  [[nodiscard]] int find(std::string_view name) const;

  [[nodiscard]] int count() const { return static_cast<int>(m_entries.size()); }
  /// The name of entry index (0 <= index < count()), in sorted order.
  [[nodiscard]] const std::string& name(int index) const;
  [[nodiscard]] TEvalRoutine routine(int index) const;
  /// The names that hold "DIV" or "MOD", in the order added.
  [[nodiscard]] const std::vector<std::string>& namesWithOperatorWords() const { return m_wordNames; }

 private:
  struct Entry {
    std::string name;
    TEvalRoutine routine;
  };
  std::vector<Entry> m_entries;
  std::vector<std::string> m_wordNames;
};

}  // namespace ormel
