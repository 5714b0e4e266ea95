#include "engine/fast_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <typeinfo>
#include <vector>

#include "engine/evaluation.h"
#include "engine/fpu_status.h"
#include "engine/operators.h"
#include "engine/parser.h"
#include "support/row_name.h"

namespace ormel {
namespace {

/// A value, or the class and message of what was thrown instead.
struct Outcome {
  std::string error;
  long double value = 0;
  bool operator==(const Outcome& o) const {
    return error == o.error &&
           (std::memcmp(&value, &o.value, 10) == 0 || (std::isnan(value) && std::isnan(o.value)));
  }
  friend void PrintTo(const Outcome& o, std::ostream* os) {
    if (o.error.empty()) {
      *os << static_cast<double>(o.value);
    } else {
      *os << o.error;
    }
  }
};

template <typename Evaluate>
Outcome outcomeOf(Evaluate evaluate) {
  Outcome outcome;
  try {
    outcome.value = evaluate();
  } catch (const Exception& e) {
    outcome.error = std::string(typeid(e).name()) + ": " + e.message();
  }
  return outcome;
}

/// A text compiled against the parser's tables, its steps carrying their routines.
StepList compiled(const TParser& parser, const std::string& text) {
  StepList list =
      ParseFunction(text, parser.Variables(), parser.getFunctionOne(), parser.getFunctionTwo(), true);
  giveOperatorRoutines(list.head());
  return list;
}

/// The fast program with `registers` x87 registers must give what running the steps one by one
/// gives: the same bits or the same error. Where the steps succeed, the program must succeed by
/// itself, without the rerun that errors cause (which would hide its mistakes).
void expectSameAsStepByStep(const StepList& list, int registers, const std::string& text) {
  FastProgram program;
  program.build(list, registers);
  ASSERT_FALSE(program.empty()) << text;
  EXPECT_LE(program.depth(), registers) << text;
  const Outcome checked = outcomeOf([&] { return evaluateChecked(list); });
  EXPECT_EQ(outcomeOf([&] { return evaluate(program, list); }), checked)
      << text << " with " << registers << " registers";
  clearFpuErrors();
  bool routineThrew = false;
  const Outcome direct{"", program.run(routineThrew)};
  const unsigned flags = raisedFpuErrors();
  clearFpuErrors();
  if (checked.error.empty()) {
    EXPECT_TRUE(!routineThrew && flags == 0 && direct == checked)
        << text << " with " << registers << " registers";
  } else {
    EXPECT_TRUE(routineThrew || flags != 0) << text << " with " << registers << " registers";
  }
}

void setVariables(TParser& parser, long double x, long double y, long double z) {
  parser.SetVariable("X", x);
  parser.SetVariable("Y", y);
  parser.SetVariable("Z", z);
}

/// Texts that are mostly operators over few variables and constants (so that cells repeat), with
/// some powers, calls and integer operators among them, nested deep enough to need many registers.
std::string randomExpression(std::mt19937& random, int depth) {
  static const char* const kLeaves[] = {"X", "Y", "Z", "X", "1", "2", "0.5", "3", "0", "1E2000", "1"};
  static const char* const kOperators[] = {"+", "-", "*", "/", "+", "*", "DIV", "MOD", "-"};
  static const char* const kPowers[] = {"^2", "^3", "^4", "^5", "^0.5", "^-1"};
  static const char* const kCalls[] = {"SIN(", "SQRT(", "ABS(", "LN("};
  const int choice = static_cast<int>(random() % 12);
  if (depth <= 0 || choice < 2) return kLeaves[random() % std::size(kLeaves)];
  const std::string a = randomExpression(random, depth - 1);
  if (choice < 8) {
    const std::string b = randomExpression(random, depth - 1);
    const std::string text = a + kOperators[random() % std::size(kOperators)] + b;
    return random() % 3 == 0 ? text : "(" + text + ")";
  }
  if (choice == 8) return "(" + a + ")" + kPowers[random() % std::size(kPowers)];
  if (choice == 9) return "-(" + a + ")";
  if (choice == 10) return "MAX(" + a + "," + randomExpression(random, depth - 1) + ")";
  return kCalls[random() % std::size(kCalls)] + a + ")";
}

TEST(FastProgram, GivesWhatTheStepsGiveOneByOne) {
  TParser parser;
  const long double kInfinity = std::numeric_limits<long double>::infinity();
  const long double kValueSets[][3] = {
      {0.75L, -2.5L, 3}, {0, 1E2000L, -0.0L}, {1E-2000L, 7, 1E4000L}, {kInfinity, 2, -1}, {-4, 0.1L, 1E9L}};
  setVariables(parser, 1, 1, 1);
  std::mt19937 random(20240917);
  int compiledTexts = 0;
  for (int i = 0; i < 4000; ++i) {
    const std::string text = randomExpression(random, 2 + i % 6);
    StepList list;
    try {
      list = compiled(parser, text);
    } catch (const Exception&) {
      continue;  // the splitting rules refuse many of them; what compiles is compared
    }
    ++compiledTexts;
    for (const auto& values : kValueSets) {
      setVariables(parser, values[0], values[1], values[2]);
      for (const int registers : {8, 2, 3, 5}) expectSameAsStepByStep(list, registers, text);
    }
  }
  EXPECT_GT(compiledTexts, 1500);
}

struct ShapeRow {
  std::string name;
  std::string text;
  int registers;
  int loads;  // how many cells are loaded from memory, -1 when it does not matter
  friend void PrintTo(const ShapeRow& row, std::ostream* os) { *os << row.text; }
};

// A complete tree of sums and products over distinct cells, `depth` levels of operators.
std::string balanced(int depth, int& leaf) {
  if (depth == 0) return std::to_string(++leaf) + ".5";
  const std::string left = balanced(depth - 1, leaf);
  const std::string right = balanced(depth - 1, leaf);
  return "(" + left + (depth % 2 ? "+" : "*") + right + ")";
}

std::string balanced(int depth) {
  int leaf = 0;
  return balanced(depth, leaf);
}

std::string sumOf(const std::string& term, int terms) {
  std::string text = term;
  for (int i = 1; i < terms; ++i) text += "+" + term;
  return text;
}

class Shapes : public ::testing::TestWithParam<ShapeRow> {};

// Each row's code must give the steps' value, fit its registers and read memory no more often
// than the row says.
TEST_P(Shapes, SameValueWithinTheRegisters) {
  const ShapeRow& row = GetParam();
  TParser parser;
  setVariables(parser, 0.75L, -2.5L, 3);
  for (const char* name : {"A", "B", "C", "D", "E", "F", "G", "H"})
    parser.SetVariable(name, name[0] - 'A' + 1.25L);
  const StepList list = compiled(parser, row.text);
  expectSameAsStepByStep(list, row.registers, row.text);
  if (row.loads >= 0) {
    FastProgram program;
    program.build(list, row.registers);
    const std::vector<x87::Code> codes = program.codes();
    const auto loads = std::count_if(codes.begin(), codes.end(), [](x87::Code c) {
      return c == x87::kLoad || (c >= x87::kWithCell && c < x87::kWithBelow);
    });
    EXPECT_EQ(loads, row.loads);
  }
}

INSTANTIATE_TEST_SUITE_P(
    FastProgram, Shapes,
    ::testing::Values(ShapeRow{"LoneVariable", "X", 8, 1}, ShapeRow{"LoneConstant", "2.5", 8, 1},
                      ShapeRow{"RepeatedVariableLoadedOnce", sumOf("X", 20), 8, 1},
                      ShapeRow{"EqualConstantsLoadedOnce", "((X+1)*(X-1))/(X*X+1)", 8, 2},
                      ShapeRow{"CellsReadOnceStayInMemory", "1+2*3", 8, 3},
                      // Eight variables read twice each: five are kept, so that both sides of the product
                      // still fit; the other three are read from memory at each use.
                      ShapeRow{"MoreRepeatedCellsThanRegisters", "(A+B+C+D+E+F+G+H)*(A-B-C-D-E-F-G-H)", 8,
                               11},
                      ShapeRow{"DeepTreeFitsEightRegisters", balanced(6), 8, 64},
                      ShapeRow{"DeepTreeSpillsWithTwoRegisters", balanced(6), 2, -1},
                      ShapeRow{"DeepTreeSpillsWithThreeRegisters", balanced(6), 3, -1},
                      ShapeRow{"RoutineOperandsStoredBeforeTheCall", "SIN(X+1)*COS(X*2)+MAX(X-Y,Y/X)", 8, -1},
                      ShapeRow{"RoutineInsideOperatorTree", "(X+1)*(SQRT(X*X+Y*Y)-(X+1))", 8, -1},
                      ShapeRow{"IntegerOperatorsAndPowers", "(X*7)MOD(Y+5)+(X+1)^5-(Y+2)^0.5+X^3*Y^4", 8, -1},
                      ShapeRow{"CubeNeedsOneRegisterMore", "(X+Y)*(Z)^3", 2, -1},
                      ShapeRow{"LoadedOperandNeedsOneRegisterMore", "(X+Y)*(Z+2)", 2, -1},
                      ShapeRow{"NegationsAndPowersOfResults", "-(X-Y)^2+-(X*Y)^3*(Y/X)^4", 3, -1}),
    testing_support::RowName());

TEST(FastProgram, SpillsOnlyWhenRegistersRunOut) {
  TParser parser;
  const StepList list = compiled(parser, balanced(6));
  for (const auto& [registers, spills] : {std::pair{8, false}, std::pair{2, true}}) {
    FastProgram program;
    program.build(list, registers);
    const std::vector<x87::Code> codes = program.codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), x87::kStore) > 0, spills) << registers;
  }
}

TEST(FastProgram, ParserRunsStepsOneByOneForRandomDrawsAndOnRequest) {
  TParser parser;
  parser.SetExpression("1+2");
  EXPECT_FALSE(parser.fastProgram().empty());
  parser.setEvaluationMode(EvaluationMode::kStepByStep);
  EXPECT_TRUE(parser.fastProgram().empty());
  EXPECT_EQ(parser.Value(), 3);
  parser.setEvaluationMode(EvaluationMode::kFast);
  EXPECT_FALSE(parser.fastProgram().empty());
  parser.SetExpression("RND(10)+1");
  EXPECT_TRUE(parser.fastProgram().empty());
}

}  // namespace
}  // namespace ormel
