#include "config/shortcut_text.h"

#include <array>

#include "base/text.h"

namespace ormel {

namespace {

constexpr int kFirstNamedKey = 8;
constexpr int kKeyCount = 256;

// Names of the keys that need no table of the keyboard layer; every other code gets one of our
// own so that whatever is written reads back to the same code on any system.
constexpr std::pair<int, std::string_view> kNamedKeys[] = {
    {8, "BkSp"},
    {9, "Tab"},
    {12, "Clear"},
    {13, "Enter"},
    {16, "Shift"},
    {17, "Ctrl"},
    {18, "Alt"},
    {19, "Pause"},
    {20, "Caps Lock"},
    {21, "Kana"},
    {23, "Junja"},
    {24, "Final"},
    {25, "Kanji"},
    {27, "Esc"},
    {28, "Convert"},
    {29, "NonConvert"},
    {30, "Accept"},
    {31, "Mode Change"},
    {32, "Space"},
    {33, "PgUp"},
    {34, "PgDn"},
    {35, "End"},
    {36, "Home"},
    {37, "Left"},
    {38, "Up"},
    {39, "Right"},
    {40, "Down"},
    {41, "Select"},
    {42, "Print"},
    {43, "Execute"},
    {44, "PrtSc"},
    {45, "Ins"},
    {46, "Del"},
    {47, "Help"},
    {91, "Left Win"},
    {92, "Right Win"},
    {93, "Menu"},
    {95, "Sleep"},
    {106, "Num *"},
    {107, "Num +"},
    {108, "Num Sep"},
    {109, "Num -"},
    {110, "Num ."},
    {111, "Num /"},
    {144, "Num Lock"},
    {145, "Scroll Lock"},
    {160, "Left Shift"},
    {161, "Right Shift"},
    {162, "Left Ctrl"},
    {163, "Right Ctrl"},
    {164, "Left Alt"},
    {165, "Right Alt"},
    {166, "Browser Back"},
    {167, "Browser Forward"},
    {168, "Browser Refresh"},
    {169, "Browser Stop"},
    {170, "Browser Search"},
    {171, "Browser Favorites"},
    {172, "Browser Home"},
    {173, "Volume Mute"},
    {174, "Volume Down"},
    {175, "Volume Up"},
    {176, "Media Next"},
    {177, "Media Previous"},
    {178, "Media Stop"},
    {179, "Media Play"},
    {180, "Mail"},
    {181, "Media Select"},
    {182, "Launch App1"},
    {183, "Launch App2"},
    {186, ";"},
    {187, "="},
    {188, ","},
    {189, "-"},
    {190, "."},
    {191, "/"},
    {192, "`"},
    {219, "["},
    {220, "\\"},
    {221, "]"},
    {222, "'"},
    {223, "OEM 8"},
    {226, "OEM 102"},
    {229, "Process"},
    {231, "Packet"},
    {246, "Attn"},
    {247, "CrSel"},
    {248, "ExSel"},
    {249, "Erase EOF"},
    {250, "Play"},
    {251, "Zoom"},
    {252, "NoName"},
    {253, "PA1"},
    {254, "OEM Clear"},
};

std::array<std::string, kKeyCount> buildKeyNames() {
  std::array<std::string, kKeyCount> names;
  for (int code = kFirstNamedKey; code < kKeyCount; ++code) names[code] = "Key " + std::to_string(code);
  for (const auto& [code, name] : kNamedKeys) names[code] = name;
  for (int digit = 0; digit <= 9; ++digit) {
    names['0' + digit] = std::string(1, static_cast<char>('0' + digit));
    names[96 + digit] = names['0' + digit];
  }
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    names[static_cast<unsigned char>(letter)] = std::string(1, letter);
  for (int f = 1; f <= 24; ++f) names[111 + f] = "F" + std::to_string(f);
  return names;
}

const std::array<std::string, kKeyCount>& keyNames() {
  static const std::array<std::string, kKeyCount> names = buildKeyNames();
  return names;
}

// Takes prefix off the front of text when it is there, in any letter case.
bool takePrefix(std::string_view& text, std::string_view prefix) {
  if (text.size() < prefix.size() || !sameTextAscii(text.substr(0, prefix.size()), prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::string keyName(int virtualKey) {
  if (virtualKey < 0 || virtualKey >= kKeyCount) return {};
  return keyNames()[static_cast<std::size_t>(virtualKey)];
}

std::string shortCutToText(ShortCut code) {
  const std::string name = keyName(code & 0xFF);
  if (name.empty()) return {};
  std::string text;
  if ((code & kShiftBit) != 0) text += "Shift+";
  if ((code & kCtrlBit) != 0) text += "Ctrl+";
  if ((code & kAltBit) != 0) text += "Alt+";
  return text + name;
}

ShortCut textToShortCut(std::string_view text) {
  ShortCut modifiers = 0;
  for (;;) {
    if (takePrefix(text, "Shift+")) {
      modifiers |= kShiftBit;
    } else if (takePrefix(text, "Ctrl+") || takePrefix(text, "^")) {
      modifiers |= kCtrlBit;
    } else if (takePrefix(text, "Alt+")) {
      modifiers |= kAltBit;
    } else {
      break;
    }
  }
  if (text.empty()) return 0;
  const std::array<std::string, kKeyCount>& names = keyNames();
  for (int code = kFirstNamedKey; code < kKeyCount; ++code) {
    if (sameTextAscii(names[static_cast<std::size_t>(code)], text))
      return static_cast<ShortCut>(modifiers | code);
  }
  return 0;
}

}  // namespace ormel
