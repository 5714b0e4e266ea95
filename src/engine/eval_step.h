#pragma once

#include <cstdint>
#include <limits>

namespace ormel {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the engine computes in 80-bit extended precision (x87 long double)");

struct TEvalStep;

/// An evaluation routine: reads the step's operand cells and writes its result cell.
/// Arithmetic errors surface through the FPU status flags or as thrown EMathError/EIntError.
using TEvalRoutine = void (*)(TEvalStep& step);

/// One step of a compiled expression. Cells are shared by address: an operand is a variable's
/// cell, a constant's cell or the result cell of an earlier step.
struct TEvalStep {
  long double* operand1 = nullptr;
  long double* operand2 = nullptr;
  long double* result = nullptr;
  TEvalStep* next = nullptr;
  TEvalRoutine routine = nullptr;
  std::uint8_t kind = 0;
};

/// Kind codes of terms and steps.
enum TermKind : std::uint8_t {
  kKindVariable = 0,
  kKindConstant = 1,
  kKindNegate = 2,
  kKindAdd = 3,
  kKindSubtract = 4,
  kKindMultiply = 5,
  kKindRealDivide = 6,
  kKindModulo = 7,
  kKindIntDiv = 8,
  kKindIntPower = 9,
  kKindPower = 10,
  kKindSquare = 11,
  kKindCube = 12,
  kKindFourth = 13,
  kKindFunctionOne = 14,
  kKindFunctionTwo = 15,
};

/// True for the kinds whose term has exactly one child (negation, square, cube, fourth power,
/// one-argument call).
[[nodiscard]] constexpr bool isOneOperandKind(std::uint8_t kind) {
  return kind == kKindNegate || kind == kKindSquare || kind == kKindCube || kind == kKindFourth ||
         kind == kKindFunctionOne;
}

/// True for the kinds whose term has two children.
[[nodiscard]] constexpr bool isTwoOperandKind(std::uint8_t kind) {
  return (kind >= kKindAdd && kind <= kKindPower) || kind == kKindFunctionTwo;
}

}  // namespace ormel
