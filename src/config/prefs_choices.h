#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/setting_value.h"

namespace ormel {

/// The entries of the decimal-places list, in their order: "0" to "20", "30", "50", "100", "1000".
[[nodiscard]] const std::vector<std::string>& decimalPlacesEntries();

/// The index of the entry that equals value as a setting value (the text "3" equals the
/// integer 3), or -1 when none does.
[[nodiscard]] int decimalPlacesEntryIndex(const SettingValue& value);

/// Why a text cannot be the decimal separator, or nothing when it can. A separator is one
/// character; refused are those that would make lines unreadable: digits, letters, blanks,
/// control characters, the operators and brackets, "$" (hexadecimal constants) and "="
/// (assignments). The point, the comma and everything else are allowed.
[[nodiscard]] std::optional<std::string> decimalSeparatorRefusal(std::string_view text);

}  // namespace ormel
