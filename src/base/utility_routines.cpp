#include "utility_routines.h"

#include <malloc.h>

#include "number_format.h"

namespace ormel {

bool isNum(std::string_view text) { return textToFloat(text).has_value(); }

void Replace(std::string& text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty() || replacement.find(pattern) != std::string_view::npos) return;
  // Everything before the last replacement, less the pattern's length, held no occurrence (it
  // was the first), so resuming there finds the same occurrence a search from the start finds.
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(pattern, from);
    if (at == std::string::npos) return;
    text.replace(at, pattern.size(), replacement);
    from = at >= pattern.size() - 1 ? at - (pattern.size() - 1) : 0;
  }
}

std::string FormatForLabel(std::string_view text, int width) {
  if (width <= 0) return std::string(text);
  const auto w = static_cast<std::size_t>(width);
  std::string result;
  while (text.size() >= w) {
    std::size_t p = w;  // 1-based position of the character that ends the line
    while (p > 0 && text[p - 1] != ' ') --p;
    if (p == 0) p = w;  // no blank within the width: break the word hard
    result.append(text.substr(0, p));
    result.append("\r\n");
    text.remove_prefix(p);
  }
  result.append(text);
  return result;
}

void TrimWorkingSet() { ::malloc_trim(0); }

}  // namespace ormel
