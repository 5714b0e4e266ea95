#include "engine/operators.h"

#include <cmath>
#include <limits>

#include "base/exceptions.h"
#include "engine/fpu_math.h"
#include "engine/fpu_status.h"

namespace ormel {

namespace {

std::int64_t truncatedOperand(long double v) {
  if (!fitsInInt64(v)) raiseMathError<EInvalidOp>();
  return static_cast<std::int64_t>(v);
}

}  // namespace

void _nothing(TEvalStep&) {}
void _Negate(TEvalStep& step) { *step.result = -*step.operand1; }
void _Add(TEvalStep& step) { *step.result = *step.operand1 + *step.operand2; }
void _Subtract(TEvalStep& step) { *step.result = *step.operand1 - *step.operand2; }
void _Multiply(TEvalStep& step) { *step.result = *step.operand1 * *step.operand2; }
void _RealDivide(TEvalStep& step) { *step.result = *step.operand1 / *step.operand2; }

void _Modulo(TEvalStep& step) {
  const std::int64_t a = truncatedOperand(*step.operand1);
  const std::int64_t b = truncatedOperand(*step.operand2);
  if (b == 0) raiseMathError<EDivByZero>();
  // The one quotient beyond the 64-bit range (-2^63 by -1) leaves no remainder.
  *step.result = b == -1 ? 0.0L : static_cast<long double>(a % b);
}

void _IntDiv(TEvalStep& step) {
  const std::int64_t a = truncatedOperand(*step.operand1);
  const std::int64_t b = truncatedOperand(*step.operand2);
  if (b == 0) raiseMathError<EDivByZero>();
  // -2^63 by -1 is 2^63, exact in extended although not in 64 bits.
  *step.result = b == -1 ? -static_cast<long double>(a) : static_cast<long double>(a / b);
}

long double intPower(long double base, std::int32_t n) {
  std::uint32_t bits = n < 0 ? 0U - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
  long double r = 1.0L;
  long double x = base;
  while (bits != 0) {
    if (bits & 1U) r *= x;
    bits >>= 1;
    if (bits != 0) x *= x;
  }
  return n < 0 ? 1.0L / r : r;
}

void _IntPower(TEvalStep& step) {
  *step.result = intPower(*step.operand1, low32(truncatedOperand(*step.operand2)));
}

void _square(TEvalStep& step) {
  const long double x = *step.operand1;
  *step.result = x * x;
}

void _third(TEvalStep& step) {
  const long double x = *step.operand1;
  *step.result = (x * x) * x;
}

void _forth(TEvalStep& step) {
  const long double x = *step.operand1;
  *step.result = (x * x) * (x * x);
}

long double generalPower(long double base, long double exponent) {
  if (exponent == 0) return 1.0L;
  if (base == 0 && exponent > 0) return 0.0L;
  if (std::trunc(exponent) == exponent && std::fabs(exponent) <= 2147483647.0L) {
    return intPower(base, static_cast<std::int32_t>(exponent));
  }
  return std::exp(exponent * lnX87(base));
}

void _power(TEvalStep& step) { *step.result = generalPower(*step.operand1, *step.operand2); }

TEvalRoutine operatorRoutine(std::uint8_t kind) {
  static constexpr TEvalRoutine kRoutines[] = {
      _nothing, _nothing, _Negate,   _Add,   _Subtract, _Multiply, _RealDivide,
      _Modulo,  _IntDiv,  _IntPower, _power, _square,   _third,    _forth,
  };
  return kind < std::size(kRoutines) ? kRoutines[kind] : nullptr;
}

void giveOperatorRoutines(TEvalStep* head) {
  for (TEvalStep* step = head; step != nullptr; step = step->next) {
    if (step->kind <= kKindFourth) step->routine = operatorRoutine(step->kind);
  }
}

}  // namespace ormel
