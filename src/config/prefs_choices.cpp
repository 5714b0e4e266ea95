#include "config/prefs_choices.h"

#include "base/unicode_text.h"

namespace ormel {

const std::vector<std::string>& decimalPlacesEntries() {
  static const std::vector<std::string> entries = [] {
    std::vector<std::string> texts;
    for (int places = 0; places <= 20; ++places) texts.push_back(std::to_string(places));
    for (const char* more : {"30", "50", "100", "1000"}) texts.emplace_back(more);
    return texts;
  }();
  return entries;
}

int decimalPlacesEntryIndex(const SettingValue& value) {
  const std::vector<std::string>& entries = decimalPlacesEntries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (SettingValue(entries[i]) == value) return static_cast<int>(i);
  }
  return -1;
}

std::optional<std::string> decimalSeparatorRefusal(std::string_view text) {
  const std::u32string characters = utf8ToCodePoints(text);
  if (characters.size() != 1 || !isValidUtf8(text)) return "The decimal separator is a single character.";
  const char32_t c = characters.front();
  const std::string shown(text);
  if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
    return "A control character cannot separate decimals.";
  if (c == U' ' || c == 0xA0) return "A blank cannot separate decimals: blanks are removed from every line.";
  if (c >= U'0' && c <= U'9') return "\"" + shown + "\" is a digit: it would be read as part of the number.";
  if ((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z')) {
    return "\"" + shown + "\" is a letter: it would be read as part of a name.";
  }
  if (std::u32string_view(U"+-*/^").find(c) != std::u32string_view::npos) {
    return "\"" + shown + "\" is an operator: it cannot also separate decimals.";
  }
  if (std::u32string_view(U"()[]{}").find(c) != std::u32string_view::npos) {
    return "\"" + shown + "\" is a bracket: it cannot also separate decimals.";
  }
  if (c == U'$') return "\"$\" starts a hexadecimal constant: it cannot also separate decimals.";
  if (c == U'=') return "\"=\" assigns a variable: it cannot also separate decimals.";
  return std::nullopt;
}

}  // namespace ormel
