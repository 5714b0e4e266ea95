#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/window_port.h"

namespace ormel {

/// The 129 shortcut texts the hot keys dialog offers, in plain text order ("Ctrl+A" before
/// "Ctrl+Alt+A", "F10" before "F2"): every letter with "Alt+", "Ctrl+" and "Ctrl+Alt+"; F1 to
/// F12 alone and with "Ctrl+", "Shift+" and "Shift+Ctrl+"; "Esc", "Ins" and "Tab".
[[nodiscard]] const std::vector<std::string>& hotkeyChoices();

/// One line of the dialog's list: an "ormelCuts" action's caption and its index in the list.
struct HotkeyLine {
  std::string caption;
  int action = 0;
  friend bool operator==(const HotkeyLine&, const HotkeyLine&) = default;
};

/// The lines for every action whose category is exactly "ormelCuts", ordered by caption as a
/// sorted list box orders them (without regard to letter case).
[[nodiscard]] std::vector<HotkeyLine> hotkeyLines(const ActionList& actions);

/// Gives every action whose caption equals caption exactly the shortcut read from text; text
/// that names no key (empty, or "Ctrl+" alone) removes it.
void setShortCutByCaption(ActionList& actions, std::string_view caption, std::string_view text);

}  // namespace ormel
