#pragma once

#include <memory>
#include <vector>

#include "scratchpad/styled_text.h"

namespace ormel {

/// A line that snapshots share: never changed once shared, only replaced by a new one.
using SharedLine = std::shared_ptr<const StyledLine>;

/// The scratch pad's content at one moment, line by line. Taking one costs a pointer per line,
/// not a copy of the text, so the window thread can take it and another thread write it out.
using ContentSnapshot = std::vector<SharedLine>;

}  // namespace ormel
