#pragma once

#include <cstdint>

#include "engine/eval_step.h"

namespace ormel {

/// The routines of the operator kinds. Each reads its operand cells and writes its result cell
/// in extended arithmetic; arithmetic errors show in the FPU flags or are thrown.
void _nothing(TEvalStep& step);
void _Negate(TEvalStep& step);
void _Add(TEvalStep& step);
void _Subtract(TEvalStep& step);
void _Multiply(TEvalStep& step);
void _RealDivide(TEvalStep& step);
/// Both operands truncated to 64-bit integers; the remainder has the sign of the dividend.
/// Throws EInvalidOp for an operand beyond the 64-bit range, EDivByZero for a divisor of 0.
void _Modulo(TEvalStep& step);
/// The truncated quotient of the operands truncated to 64-bit integers; errors as _Modulo.
void _IntDiv(TEvalStep& step);
/// Operand 1 to the power n, n the low 32 bits (signed) of operand 2 truncated to 64 bits.
void _IntPower(TEvalStep& step);
void _square(TEvalStep& step);
void _third(TEvalStep& step);
void _forth(TEvalStep& step);
/// The general power: exponent 0 gives 1, base 0 with a positive exponent 0, a whole exponent
/// up to 2147483647 in magnitude as _IntPower, anything else e^(exponent x ln base).
void _power(TEvalStep& step);

/// The same computations on plain values, for the functions that share them.
[[nodiscard]] long double intPower(long double base, std::int32_t n);
[[nodiscard]] long double generalPower(long double base, long double exponent);

/// The routine of an operator kind 0 to 13.
[[nodiscard]] TEvalRoutine operatorRoutine(std::uint8_t kind);
/// Gives every step of kinds 0 to 13 in the list from `head` the routine of its kind.
void giveOperatorRoutines(TEvalStep* head);

}  // namespace ormel
