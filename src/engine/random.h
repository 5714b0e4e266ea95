#pragma once

#include <cstdint>

namespace ormel {

/// The next value of the program's one pseudo-random generator, uniform in [0, 1), with all 64
/// mantissa bits random.
[[nodiscard]] long double nextRandom();

}  // namespace ormel
