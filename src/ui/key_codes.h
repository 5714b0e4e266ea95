#pragma once

#include <QKeyCombination>
#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace ormel {

/// Modifier bits of a shortcut code; the low byte holds the virtual-key code.
inline constexpr std::uint16_t kShortcutShift = 0x2000;
inline constexpr std::uint16_t kShortcutCtrl = 0x4000;
inline constexpr std::uint16_t kShortcutAlt = 0x8000;

/// The virtual-key code (Windows numbering, as the stores and the key rules use it) of a Qt key;
/// keypad digits and operators take their keypad codes when keypad is set. 0 for keys that have
/// no such code.
[[nodiscard]] int virtualKeyFromQt(int qtKey, bool keypad);

/// The virtual-key code of a key event, see virtualKeyFromQt.
[[nodiscard]] int virtualKeyOf(const QKeyEvent& event);

/// The shortcut code of a key event: its virtual-key code with the Shift, Ctrl and Alt bits;
/// 0 for a key without a virtual-key code and for a lone modifier key.
[[nodiscard]] std::uint16_t shortcutCodeOf(const QKeyEvent& event);

/// The Qt key combination for a shortcut code, for showing it and for typing it in tests;
/// an empty combination for 0 or a code without a Qt key.
[[nodiscard]] QKeyCombination keyCombinationOf(std::uint16_t shortcutCode);

}  // namespace ormel
