#pragma once

#include <string>

#include "config/store_support.h"
#include "config/window_port.h"

namespace ormel {

/// The shortcuts of the "ormelCuts" actions between runs, in hotkeys.xml. Holds nothing itself:
/// the shortcuts live on the actions.
class TOrmelHotKeys {
 public:
  /// Writes caption and shortcut text of every action whose category is exactly "ormelCuts".
  /// Throws EFCreateError naming the file and the reason; the old file is then untouched.
  void Save(const std::string& fileName, const ActionList& actions) const;
  /// Gives every action whose caption equals an entry's "name" exactly (any category) the
  /// shortcut read from its "hotkey"; text that names no key removes the shortcut. A missing
  /// or foreign file changes nothing. Entries the next save would not write back as they are (a
  /// caption no kept action has, a key text that names no key) go to notes.
  void Load(const std::string& fileName, ActionList& actions, LoadNotes* notes = nullptr) const;
};

}  // namespace ormel
