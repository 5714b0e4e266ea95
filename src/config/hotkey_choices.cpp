#include "config/hotkey_choices.h"

#include <algorithm>

#include "base/text.h"
#include "config/shortcut_text.h"

namespace ormel {

const std::vector<std::string>& hotkeyChoices() {
  static const std::vector<std::string> choices = [] {
    std::vector<std::string> texts;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      for (const char* prefix : {"Alt+", "Ctrl+", "Ctrl+Alt+"})
        texts.push_back(prefix + std::string(1, letter));
    }
    for (int f = 1; f <= 12; ++f) {
      for (const char* prefix : {"", "Ctrl+", "Shift+", "Shift+Ctrl+"}) {
        texts.push_back(prefix + std::string("F") + std::to_string(f));
      }
    }
    for (const char* key : {"Esc", "Ins", "Tab"}) texts.emplace_back(key);
    std::sort(texts.begin(), texts.end());
    return texts;
  }();
  return choices;
}

std::vector<HotkeyLine> hotkeyLines(const ActionList& actions) {
  std::vector<HotkeyLine> lines;
  for (int i = 0; i < actions.count(); ++i) {
    if (actions.category(i) == "ormelCuts") lines.push_back({actions.caption(i), i});
  }
  std::stable_sort(lines.begin(), lines.end(), [](const HotkeyLine& a, const HotkeyLine& b) {
    return compareTextAscii(a.caption, b.caption) < 0;
  });
  return lines;
}

void setShortCutByCaption(ActionList& actions, std::string_view caption, std::string_view text) {
  const ShortCut code = textToShortCut(text);
  for (int i = 0; i < actions.count(); ++i) {
    if (actions.caption(i) == caption) actions.setShortCut(i, code);
  }
}

}  // namespace ormel
