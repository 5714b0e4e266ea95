#pragma once

#include <algorithm>
#include <string_view>

#include "base/text.h"

namespace ormel {

/// The first entry (of a vector of entries with a `name`, sorted without regard to letter case)
/// whose name does not sort before the given one.
template <typename Entries>
auto lowerBoundByName(Entries& entries, std::string_view name) {
  return std::lower_bound(entries.begin(), entries.end(), name,
                          [](const auto& e, std::string_view n) { return compareTextAscii(e.name, n) < 0; });
}

/// True for a name (in capitals) that holds "DIV" or "MOD": written in a line, those letters are
/// no operator.
inline bool holdsOperatorWord(std::string_view name) {
  return name.find("DIV") != std::string_view::npos || name.find("MOD") != std::string_view::npos;
}

/// The index of the entry with that name (compared without regard to case), or -1.
template <typename Entries>
int indexByName(const Entries& entries, std::string_view name) {
  const auto at = lowerBoundByName(entries, name);
  if (at == entries.end() || !sameTextAscii(at->name, name)) return -1;
  return static_cast<int>(at - entries.begin());
}

}  // namespace ormel
