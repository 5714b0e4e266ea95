#pragma once

#include <string>
#include <vector>

#include "scratchpad/text_control_port.h"

namespace ormel {

/// One line of styled text: UTF-16 code units, one style per unit, and the line's own style,
/// which an empty line shows and which text typed into it takes.
struct StyledLine {
  std::u16string text;
  std::vector<CharStyle> styles;
  CharStyle lineStyle;
  friend bool operator==(const StyledLine&, const StyledLine&) = default;
};

/// A whole text as lines; a text always has at least one line.
using StyledText = std::vector<StyledLine>;

/// True when both texts have the same lines of the same characters in the same styles (the
/// lines' own styles aside).
[[nodiscard]] inline bool sameCharacters(const StyledText& a, const StyledText& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t n = 0; n < a.size(); ++n) {
    if (a[n].text != b[n].text || a[n].styles != b[n].styles) return false;
  }
  return true;
}

}  // namespace ormel
