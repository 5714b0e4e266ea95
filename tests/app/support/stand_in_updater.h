#pragma once

#include <string_view>

namespace ormel::testing_support {

/// A shell script that stands in for the updater: it writes the path it was started under and
/// each of its arguments, one per line, to "updater-ran.txt" beside itself.
inline constexpr std::string_view kStandInUpdater =
    "#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname "
    "\"$0\")/updater-ran.txt\"\n";

}  // namespace ormel::testing_support
