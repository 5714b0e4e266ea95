#include "ui/key_codes.h"

#include <QKeyEvent>
#include <array>
#include <utility>

namespace ormel {
namespace {

// Keys whose code is not a simple range. The first row for a code is the one turned back into a
// Qt key; shifted punctuation shares its key's code as on a US keyboard.
constexpr std::array<std::pair<int, int>, 57> kSingleKeys{{
    {Qt::Key_Backspace, 8},    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},      {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},       {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},     {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},       {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},      {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},      {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},         {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},        {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},       {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},       {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},      {Qt::Key_Meta, 91},
    {Qt::Key_Menu, 93},        {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145}, {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},      {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},       {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},       {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189}, {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},   {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},  {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},        {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},   {Qt::Key_ParenRight, 48},
    {Qt::Key_Exclam, 49},      {Qt::Key_At, 50},
    {Qt::Key_NumberSign, 51},  {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53},     {Qt::Key_AsciiCircum, 54},
    {Qt::Key_Ampersand, 55},
}};

// The rest of the shifted digits and the keypad operators.
constexpr std::array<std::pair<int, int>, 2> kShiftedDigits{
    {{Qt::Key_Asterisk, 56}, {Qt::Key_ParenLeft, 57}}};
constexpr std::array<std::pair<int, int>, 5> kKeypadOperators{{
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Slash, 111},
}};

template <typename Table>
int lookUp(const Table& table, int qtKey) {
  for (const auto& [key, code] : table) {
    if (key == qtKey) return code;
  }
  return 0;
}

template <typename Table>
int reverseLookUp(const Table& table, int wanted) {
  for (const auto& [key, code] : table) {
    if (code == wanted) return key;
  }
  return 0;
}

}  // namespace

int virtualKeyFromQt(int qtKey, bool keypad) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return (keypad ? 96 : 48) + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 65 + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
  if (keypad) {
    if (const int code = lookUp(kKeypadOperators, qtKey)) return code;
  }
  if (const int code = lookUp(kShiftedDigits, qtKey)) return code;
  return lookUp(kSingleKeys, qtKey);
}

int virtualKeyOf(const QKeyEvent& event) {
  return virtualKeyFromQt(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
}

std::uint16_t shortcutCodeOf(const QKeyEvent& event) {
  const int key = virtualKeyOf(event);
  if (key == 0 || key == 16 || key == 17 || key == 18) return 0;
  int code = key;
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  if (modifiers.testFlag(Qt::ShiftModifier)) code |= kShortcutShift;
  if (modifiers.testFlag(Qt::ControlModifier)) code |= kShortcutCtrl;
  if (modifiers.testFlag(Qt::AltModifier)) code |= kShortcutAlt;
  return static_cast<std::uint16_t>(code);
}

QKeyCombination keyCombinationOf(std::uint16_t shortcutCode) {
  const int key = shortcutCode & 0xFF;
  int qtKey = 0;
  bool keypad = false;
  if (key >= 48 && key <= 57) {
    qtKey = Qt::Key_0 + (key - 48);
  } else if (key >= 65 && key <= 90) {
    qtKey = Qt::Key_A + (key - 65);
  } else if (key >= 96 && key <= 105) {
    qtKey = Qt::Key_0 + (key - 96);
    keypad = true;
  } else if (key >= 112 && key <= 135) {
    qtKey = Qt::Key_F1 + (key - 112);
  } else if ((qtKey = reverseLookUp(kKeypadOperators, key)) != 0) {
    keypad = true;
  } else {
    qtKey = reverseLookUp(kSingleKeys, key);
  }
  if (qtKey == 0) return QKeyCombination();
  Qt::KeyboardModifiers modifiers;
  if (keypad) modifiers |= Qt::KeypadModifier;
  if (shortcutCode & kShortcutShift) modifiers |= Qt::ShiftModifier;
  if (shortcutCode & kShortcutCtrl) modifiers |= Qt::ControlModifier;
  if (shortcutCode & kShortcutAlt) modifiers |= Qt::AltModifier;
  return QKeyCombination(modifiers, static_cast<Qt::Key>(qtKey));
}

}  // namespace ormel
