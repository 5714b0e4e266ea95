#pragma once

#include "config/headless_window.h"

namespace ormel::testing_support {

/// hotkeys.xml as a first run writes it for the main window's actions.
inline constexpr const char* kDefaultHotkeysFile =
    "<hotkeys>\r\n"
    " <hotkey name=\"Clear Screen\" hotkey=\"Esc\" />\r\n"
    " <hotkey name=\"Clear Variables\" hotkey=\"F1\" />\r\n"
    " <hotkey name=\"Save Sheet As\" hotkey=\"F2\" />\r\n"
    " <hotkey name=\"Open Sheet\" hotkey=\"F3\" />\r\n"
    " <hotkey name=\"Quit\" hotkey=\"\" />\r\n"
    " <hotkey name=\"Check For Update\" hotkey=\"\" />\r\n"
    "</hotkeys>\r\n";

/// The main window's actions in their list order, with their default keys.
inline MemoryActionList windowActions() {
  return MemoryActionList({
      {"Clear Screen", "ormelCuts", "", 27},
      {"Clear Variables", "ormelCuts", "", 112},
      {"Save Sheet As", "ormelCuts", "", 113},
      {"Open Sheet", "ormelCuts", "", 114},
      {"Quit", "ormelCuts", "", 0},
      {"Check For Update", "ormelCuts", "", 0},
      {"Switches", "", "Show the switches dialog.", 0},
      {"Preferences", "", "", 0},
      {"Hotkeys", "", "", 0},
      {"About", "", "", 0},
  });
}

}  // namespace ormel::testing_support
