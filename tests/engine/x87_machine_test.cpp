#include "engine/x87_machine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/fpu_status.h"
#include "engine/operators.h"
#include "support/row_name.h"

namespace ormel::x87 {
namespace {

/// Code written by hand, with a place for its value when it ends by storing.
class HandCode {
 public:
  HandCode& op(x87::Code code, const void* argument = nullptr) {
    m_code.push_back({handlerOf(code), argument});
    return *this;
  }
  HandCode& load(const long double& cell) { return op(kLoad, &cell); }
  /// Stores acc, drops the `below` values under it and returns the stored value.
  HandCode& storeAndEnd(int below) {
    op(kStore, &m_result);
    for (int i = 0; i < below; ++i) op(kPop);
    return load(m_result).op(endDropping(0));
  }
  long double run() {
    bool threw = false;
    const long double value = x87::run(m_code.data(), threw);
    EXPECT_FALSE(threw);
    return value;
  }

 private:
  std::vector<Instruction> m_code;
  long double m_result = 0;
};

bool sameBits(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

long double combined(Combine c, long double acc, long double y) {
  switch (c) {
    case Combine::kAdd:
      return acc + y;
    case Combine::kSubtract:
      return acc - y;
    case Combine::kSubtractFrom:
      return y - acc;
    case Combine::kMultiply:
      return acc * y;
    case Combine::kDivide:
      return acc / y;
    case Combine::kDivideInto:
      return y / acc;
  }
  return 0;
}

// Values whose sums, differences, products and quotients are all distinct, so that an operand
// taken from the wrong register or in the wrong order shows.
const long double kValues[8] = {7.25L, -2.5L, 3.0L, 0.1L, 11.0L, -0.375L, 1E300L, 5.5L};

struct CombineRow {
  std::string name;
  Combine combine;
  friend void PrintTo(const CombineRow& row, std::ostream* os) { *os << row.name; }
};

class Combines : public ::testing::TestWithParam<CombineRow> {};

TEST_P(Combines, WithCellBelowAndEveryRegisterOnceOrRepeated) {
  const Combine c = GetParam().combine;
  const long double acc = kValues[0];
  const long double y = kValues[1];
  EXPECT_TRUE(
      sameBits(HandCode().load(acc).op(withCell(c), &y).op(endDropping(0)).run(), combined(c, acc, y)));
  EXPECT_TRUE(
      sameBits(HandCode().load(y).load(acc).op(withBelow(c)).op(endDropping(0)).run(), combined(c, acc, y)));
  for (int i = 1; i < kRegisters; ++i) {
    // kValues[0] ends up at st(i), kValues[i] on top.
    HandCode code;
    for (int j = 0; j <= i; ++j) code.load(kValues[j]);
    code.op(withRegister(c, i)).storeAndEnd(i);
    EXPECT_TRUE(sameBits(code.run(), combined(c, kValues[i], kValues[0]))) << "st(" << i << ")";
    HandCode repeated;
    for (int j = 0; j <= i; ++j) repeated.load(kValues[j]);
    repeated.op(repeatWithRegister(c, i), countArgument(3)).storeAndEnd(i);
    const long double thrice =
        combined(c, combined(c, combined(c, kValues[i], kValues[0]), kValues[0]), kValues[0]);
    EXPECT_TRUE(sameBits(repeated.run(), thrice)) << "st(" << i << ") three times";
  }
  EXPECT_EQ(raisedFpuErrors(), 0U);
}

INSTANTIATE_TEST_SUITE_P(Machine, Combines,
                         ::testing::Values(CombineRow{"Add", Combine::kAdd},
                                           CombineRow{"Subtract", Combine::kSubtract},
                                           CombineRow{"SubtractFrom", Combine::kSubtractFrom},
                                           CombineRow{"Multiply", Combine::kMultiply},
                                           CombineRow{"Divide", Combine::kDivide},
                                           CombineRow{"DivideInto", Combine::kDivideInto}),
                         testing_support::RowName());

TEST(Machine, CopiesEveryRegister) {
  for (int i = 0; i < kRegisters - 1; ++i) {
    HandCode code;
    for (int j = 0; j <= i; ++j) code.load(kValues[j]);
    code.op(copyOf(i)).storeAndEnd(i + 1);
    EXPECT_TRUE(sameBits(code.run(), kValues[0])) << "st(" << i << ")";
  }
}

TEST(Machine, PowersAndNegation) {
  const long double x = 1.0000000001L;
  EXPECT_TRUE(sameBits(HandCode().load(x).op(kNegate).op(endDropping(0)).run(), -x));
  EXPECT_TRUE(sameBits(HandCode().load(x).op(kSquare).op(endDropping(0)).run(), x * x));
  EXPECT_TRUE(sameBits(HandCode().load(x).op(kCube).op(endDropping(0)).run(), (x * x) * x));
  EXPECT_TRUE(sameBits(HandCode().load(x).op(kFourth).op(endDropping(0)).run(), (x * x) * (x * x)));
}

TEST(Machine, EndReturnsTheTopAndLeavesTheStackEmpty) {
  for (int k = 0; k <= kMostKept; ++k) {
    HandCode code;
    for (int j = 0; j <= k; ++j) code.load(kValues[j]);
    code.op(endDropping(k));
    EXPECT_TRUE(sameBits(code.run(), kValues[k])) << k;
  }
  // A register left behind by any of those would overflow the stack by now.
  volatile long double one = 1;
  long double sum = 0;
  for (int i = 0; i < 8; ++i) sum += one;
  EXPECT_EQ(sum, 8);
  EXPECT_EQ(raisedFpuErrors(), 0U);
}

TEST(Machine, StoreWritesTheCell) {
  long double cell = 0;
  const long double x = kValues[3];
  HandCode code;
  code.load(x).op(kStore, &cell).load(cell).op(endDropping(0));
  EXPECT_TRUE(sameBits(code.run(), x));
  EXPECT_TRUE(sameBits(cell, x));
}

TEST(Machine, CallsTheRoutineAndReportsWhatItThrows) {
  long double a = 7;
  long double b = 2;
  long double result = 0;
  TEvalStep step;
  step.operand1 = &a;
  step.operand2 = &b;
  step.result = &result;
  step.routine = _Modulo;
  std::vector<Instruction> code = {
      {handlerOf(kCall), &step}, {handlerOf(kLoad), &result}, {handlerOf(endDropping(0)), nullptr}};
  bool threw = false;
  EXPECT_EQ(x87::run(code.data(), threw), 1);
  EXPECT_FALSE(threw);
  b = 0;
  (void)x87::run(code.data(), threw);
  EXPECT_TRUE(threw);
}

TEST(Machine, ArithmeticErrorsAreLeftInTheFlags) {
  clearFpuErrors();
  const long double one = 1;
  const long double zero = 0;
  (void)HandCode().load(one).op(withCell(Combine::kDivide), &zero).op(endDropping(0)).run();
  EXPECT_EQ(raisedFpuErrors(), static_cast<unsigned>(FE_DIVBYZERO));
  clearFpuErrors();
}

TEST(Machine, EveryCodeHasItsOwnHandler) {
  for (int code = 0; code < kCodeCount; ++code) {
    EXPECT_EQ(codeOf(handlerOf(static_cast<x87::Code>(code))), code);
  }
}

}  // namespace
}  // namespace ormel::x87
