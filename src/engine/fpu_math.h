#pragma once

#include <cmath>

namespace ormel {

// The C library's logarithms and square root report their domain errors through the SSE flags, which
// evaluation does not read. These give the same values and raise the same errors in the x87 flags: the
// logarithm of 0 divides by zero, that of a negative number is invalid.

namespace detail {
/// For 0 and negative arguments: the logarithm's value, computed so that the x87 flags show it.
inline bool outsideLogDomain(long double x, long double& result) {
  if (x == 0) {
    result = -1.0L / std::fabs(x);
    return true;
  }
  if (x < 0) {
    result = (x - x) / (x - x);
    return true;
  }
  return false;
}
}  // namespace detail

[[nodiscard]] inline long double lnX87(long double x) {
  long double r;
  return detail::outsideLogDomain(x, r) ? r : std::log(x);
}
[[nodiscard]] inline long double log10X87(long double x) {
  long double r;
  return detail::outsideLogDomain(x, r) ? r : std::log10(x);
}
[[nodiscard]] inline long double log2X87(long double x) {
  long double r;
  return detail::outsideLogDomain(x, r) ? r : std::log2(x);
}

/// The square root; negative arguments are invalid.
[[nodiscard]] inline long double sqrtX87(long double x) { return x < 0 ? (x - x) / (x - x) : std::sqrt(x); }

}  // namespace ormel
