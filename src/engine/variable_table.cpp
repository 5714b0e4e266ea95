#include "engine/variable_table.h"

#include "base/text.h"
#include "engine/sorted_names.h"

namespace ormel {

int VariableTable::find(std::string_view name) const { return indexByName(m_entries, name); }

long double* VariableTable::add(std::string name, long double value) {
  const auto at = lowerBoundByName(m_entries, name);
  if (holdsOperatorWord(name)) m_wordNames.push_back(name);
  auto cell = std::make_unique<long double>(value);
  long double* address = cell.get();
  m_entries.insert(at, Entry{std::move(name), std::move(cell)});
  return address;
}

const std::string& VariableTable::name(int index) const {
  return m_entries.at(static_cast<std::size_t>(index)).name;
}

long double* VariableTable::cell(int index) const {
  return m_entries.at(static_cast<std::size_t>(index)).cell.get();
}

}  // namespace ormel
