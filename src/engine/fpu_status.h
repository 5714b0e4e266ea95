#pragma once

#include <cfenv>
#include <cstdint>

namespace ormel {

/// The FPU exception flags that are errors: invalid operation, division by zero, overflow.
/// Underflow, denormal and inexact results are silent.
inline constexpr unsigned kFpuErrorFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

/// The error flags raised since they were last cleared, from the x87 status word: all of the
/// engine's arithmetic is x87, and the math library's functions that report through SSE instead
/// are reached only through the wrappers of fpu_math.h.
[[nodiscard]] inline unsigned raisedFpuErrors() {
#if defined(__x86_64__) || defined(__i386__)
  std::uint16_t status = 0;
  asm volatile("fnstsw %0" : "=am"(status));
  return status & kFpuErrorFlags;
#else
  return static_cast<unsigned>(std::fetestexcept(static_cast<int>(kFpuErrorFlags)));
#endif
}

/// Clears every error flag.
inline void clearFpuErrors() {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("fnclex");
#else
  std::feclearexcept(static_cast<int>(kFpuErrorFlags));
#endif
}

/// Clears the given error flags only.
inline void clearFpuErrors(unsigned flags) { std::feclearexcept(static_cast<int>(flags)); }

/// Throws the error that the flags stand for. Within one routine an infinity from a division by
/// zero or an overflow is what makes a later operation invalid, so those two take precedence.
[[noreturn]] void throwFpuError(unsigned flags);

/// Throws the error already pending in the flags, if any, else the given one: so the first
/// failing operation decides, also when a routine detects its error itself.
template <typename Error>
[[noreturn]] void raiseMathError() {
  if (const unsigned pending = raisedFpuErrors()) throwFpuError(pending);
  throw Error();
}

/// True when truncation toward zero gives a 64-bit signed integer (false for NaN and infinity).
[[nodiscard]] inline bool fitsInInt64(long double v) { return v > -0x1p63L - 1.0L && v < 0x1p63L; }

/// The low 32 bits of a 64-bit integer, read as a signed integer.
[[nodiscard]] inline std::int32_t low32(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

}  // namespace ormel
