#include "engine/function_table.h"

#include "base/exceptions.h"
#include "base/text.h"
#include "engine/sorted_names.h"

namespace ormel {

void FunctionTable::add(std::string_view name, TEvalRoutine function) {
  const auto at = lowerBoundByName(m_entries, name);
  if (at != m_entries.end() && sameTextAscii(at->name, name)) throw EStringListError();
  const auto inserted = m_entries.insert(at, Entry{upperCaseAscii(name), function});
  if (holdsOperatorWord(inserted->name)) m_wordNames.push_back(inserted->name);
}

int FunctionTable::find(std::string_view name) const { return indexByName(m_entries, name); }

const std::string& FunctionTable::name(int index) const {
  return m_entries.at(static_cast<std::size_t>(index)).name;
}

TEvalRoutine FunctionTable::routine(int index) const {
  return m_entries.at(static_cast<std::size_t>(index)).routine;
}

}  // namespace ormel
