#pragma once

#include <string>
#include <string_view>

#include "config/window_port.h"

namespace ormel {

/// Modifier bits of a shortcut code's high byte.
inline constexpr ShortCut kShiftBit = 0x2000;
inline constexpr ShortCut kCtrlBit = 0x4000;
inline constexpr ShortCut kAltBit = 0x8000;

/// The name of a virtual-key code as shortcut texts use it ("Esc", "F5", "A", "Num *");
/// empty for 0 and for the mouse-button codes below 8, which no keyboard key produces.
[[nodiscard]] std::string keyName(int virtualKey);

/// "Shift+", "Ctrl+", "Alt+" (those present, in that order) and the key's name:
/// "Shift+Ctrl+F5". Empty for 0 and for a code whose key has no name.
[[nodiscard]] std::string shortCutToText(ShortCut code);

/// The inverse: modifier prefixes ("Shift+", "Ctrl+" or "^", "Alt+") in any order and number,
/// then a key name, all without regard to letter case. 0 when no key is named. Keypad digits
/// are written as bare digits, so they read back as the main keyboard's digits.
[[nodiscard]] ShortCut textToShortCut(std::string_view text);

}  // namespace ormel
