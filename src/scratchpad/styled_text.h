#pragma once

#include <string>
#include <vector>

#include "scratchpad/text_control.h"

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

}  // namespace ormel
