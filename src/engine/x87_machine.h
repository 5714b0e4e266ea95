#pragma once

#include <cstdint>

#include "engine/eval_step.h"

namespace ormel::x87 {

/// Whether this build has the machine (x86-64, built with ORMEL_X87_MACHINE); elsewhere every
/// evaluation runs the steps one by one.
#if defined(__x86_64__) && defined(ORMEL_X87_MACHINE)
inline constexpr bool kAvailable = true;
#else
inline constexpr bool kAvailable = false;
#endif

/// The x87 register stack holds eight values.
inline constexpr int kRegisters = 8;
/// The registers below the top, st(1) to st(7).
inline constexpr int kBelowTop = kRegisters - 1;
/// The most values kept below the working ones (two registers must stay free for those).
inline constexpr int kMostKept = kRegisters - 2;

/// How an operation combines the top of the stack (acc) with another value y.
enum class Combine : std::uint8_t {
  kAdd,           // acc + y
  kSubtract,      // acc - y
  kSubtractFrom,  // y - acc
  kMultiply,      // acc * y
  kDivide,        // acc / y
  kDivideInto,    // y / acc
};
inline constexpr int kCombines = 6;

/// The machine's operations. st(i) is the register i places below the top, st(0) the top (acc).
enum Code : std::uint8_t {
  kLoad = 0,                               // push *cell
  kCopy = 1,                               // + i, i = 0..6: push st(i)
  kWithCell = kCopy + kBelowTop,           // + combine: acc = acc op *cell
  kWithBelow = kWithCell + kCombines,      // + combine: acc = acc op st(1), st(1) removed
  kWithRegister = kWithBelow + kCombines,  // + combine * 7 + i - 1, i = 1..7: acc = acc op st(i)
  kRepeatWithRegister = kWithRegister + kCombines * kBelowTop,  // as kWithRegister, count (2 or more) times
  kNegate = kRepeatWithRegister + kCombines * kBelowTop,        // acc = -acc
  kSquare,                                                      // acc = acc * acc
  kCube,                                                        // acc = (acc * acc) * acc
  kFourth,                                                      // acc = (acc * acc) * (acc * acc)
  kStore,                                                       // *cell = acc, popped
  kPop,                                                         // acc popped
  kCall,  // the step's routine runs; the stack must be empty
  kEnd,   // + k, k = 0..kMostKept: returns acc, popping the k below it
  kCodeCount = kEnd + kMostKept + 1,
};

[[nodiscard]] constexpr Code copyOf(int i) { return static_cast<Code>(kCopy + i); }
[[nodiscard]] constexpr Code withCell(Combine c) {
  return static_cast<Code>(kWithCell + static_cast<int>(c));
}
[[nodiscard]] constexpr Code withBelow(Combine c) {
  return static_cast<Code>(kWithBelow + static_cast<int>(c));
}
[[nodiscard]] constexpr Code withRegister(Combine c, int i) {
  return static_cast<Code>(kWithRegister + static_cast<int>(c) * kBelowTop + i - 1);
}
[[nodiscard]] constexpr Code repeatWithRegister(Combine c, int i) {
  return static_cast<Code>(kRepeatWithRegister + static_cast<int>(c) * kBelowTop + i - 1);
}
[[nodiscard]] constexpr Code endDropping(int k) { return static_cast<Code>(kEnd + k); }

/// What an operation does to the stack: how many values it adds (negative: removes), and the
/// most registers it occupies at once above the depth it starts at.
struct StackEffect {
  int change;
  int peak;
};
[[nodiscard]] constexpr StackEffect stackEffect(Code code) {
  if (code == kLoad || (code >= kCopy && code < kWithCell)) return {1, 1};
  if (code >= kWithCell && code < kWithBelow) return {0, 1};  // the cell is loaded, then combined
  if (code >= kWithBelow && code < kWithRegister) return {-1, 0};
  if (code == kCube) return {0, 1};
  if (code == kStore || code == kPop) return {-1, 0};
  if (code >= kEnd) return {-(code - kEnd) - 1, 0};
  return {0, 0};
}

/// One instruction of threaded code: where its handler starts, and its cell, its step or (for
/// kRepeatWithRegister) its count.
struct Instruction {
  const void* handler;
  const void* argument;
};

/// A count as an instruction's argument.
[[nodiscard]] inline const void* countArgument(std::uintptr_t count) {
  return reinterpret_cast<const void*>(count);
}

/// The handler of a code (null where the machine is not available).
[[nodiscard]] const void* handlerOf(Code code);
/// The code whose handler this is (for inspection).
[[nodiscard]] Code codeOf(const void* handler);

}  // namespace ormel::x87

extern "C" long double ormel_x87_run(const ormel::x87::Instruction* code, bool* routineThrew);

namespace ormel::x87 {

/// Runs code that starts on an empty stack and finishes with a kEnd; returns acc. Arithmetic
/// errors are left in the FPU flags. A routine that throws ends the run at once with
/// `routineThrew` set (the exception itself is dropped) and the value undefined.
[[nodiscard]] inline long double run(const Instruction* code, bool& routineThrew) {
  return ormel_x87_run(code, &routineThrew);
}

}  // namespace ormel::x87
