#include "engine/recognisers.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>
#include <string>

#include "engine/parser.h"
#include "engine_test_support.h"

namespace ormel {
namespace {

/// The compiled list written out: per step its kind and where its operands come from (a
/// variable, a constant's value or an earlier step's result).
std::string describe(const TCustomParser& parser) {
  std::map<const long double*, std::string> origin;
  for (int i = 0; i < parser.Variables().count(); ++i) {
    origin[parser.Variables().cell(i)] = parser.Variables().name(i);
  }
  std::ostringstream out;
  int index = 0;
  const auto source = [&](const long double* cell) -> std::string {
    if (cell == nullptr) return "-";
    if (const auto found = origin.find(cell); found != origin.end()) return found->second;
    std::ostringstream constant;
    constant.precision(21);
    constant << "#" << *cell;
    return constant.str();
  };
  for (const TEvalStep* step = parser.firstStep(); step != nullptr; step = step->next, ++index) {
    out << int{step->kind} << "(" << source(step->operand1) << "," << source(step->operand2) << ") ";
    origin[step->result] = "s" + std::to_string(index);
  }
  return out.str();
}

std::string compileAndDescribe(TParser& parser, const std::string& text) {
  const std::string result = testing_support::outcome(parser, text);
  return result + " | " + describe(parser);
}

/// Random texts from the pieces the rules care about: operators, brackets, commas, names that
/// contain DIV and MOD, calls, constants and signs, so that many are valid and many are not.
std::string randomExpression(std::mt19937& random, int depth) {
  static const char* const kLeaves[] = {"1", "2.5",   "X",    "Y",    "PI",   "-3", "0",   "1E3",
                                        ".", "XMODY", "DIVX", "1E30", "1E-3", "+2", "2E+1"};
  static const char* const kOperators[] = {"+",   "-", "*",  "/",  "^",   "DIV",
                                           "MOD", ",", "--", "*-", ")*(", ")+("};
  static const char* const kCalls[] = {"SIN(", "MAX(", "LOGN(", "ABS(", "(", "-(", "FOO("};
  std::uniform_int_distribution<int> pick(0, 9);
  const int choice = pick(random);
  if (depth <= 0 || choice < 3) return kLeaves[random() % std::size(kLeaves)];
  if (choice < 8) {
    return randomExpression(random, depth - 1) + kOperators[random() % std::size(kOperators)] +
           randomExpression(random, depth - 1);
  }
  std::string inner = randomExpression(random, depth - 1);
  if (random() % 5 == 0) return kCalls[random() % std::size(kCalls)] + inner;  // unbalanced
  return kCalls[random() % std::size(kCalls)] + inner + ")";
}

// The remembered answers must change nothing: same steps, values and errors as the rules that
// re-examine every operand.
TEST(RecogniserCache, GivesTheSameResultsAsTheUncachedRules) {
  TParser cached;
  TParser uncached;
  uncached.setRecogniserMode(RecogniserMode::kUncached);
  for (TParser* p : {&cached, &uncached}) {
    p->SetVariable("X", 1.5L);
    p->SetVariable("Y", -2);
    p->SetVariable("XMODY", 4);
    p->SetVariable("DIVX", 0);
  }
  std::mt19937 random(20240611);
  int compiled = 0;
  for (int i = 0; i < 10000; ++i) {
    const std::string text = randomExpression(random, 1 + i % 5);
    if (text.size() > 70) continue;
    const std::string a = compileAndDescribe(cached, text);
    ASSERT_EQ(a, compileAndDescribe(uncached, text)) << text;
    compiled += cached.ExpressionError() ? 0 : 1;
  }
  EXPECT_GT(compiled, 500);  // the generator must reach well-formed texts too
}

TEST(RecogniserCache, ChainsCompileInTimeLinearEnoughToFinish) {
  TParser parser;
  parser.SetOnParserError([](TCustomParser&, const Exception&) {});
  for (const char* op : {"-", "/", "DIV", "MOD"}) {
    std::string text = "1";
    for (int i = 2; i <= 300; ++i) text += op + std::to_string(i);
    parser.SetExpression(text);
    EXPECT_TRUE(parser.ExpressionError()) << op;
  }
}

TEST(Recognisers, OperandsKeepOrLoseTheirBrackets) {
  VariableTable variables;
  variables.add("X", 1);
  FunctionTable one;
  FunctionTable two;
  const std::string text = "((X))+(1)";
  Recognisers rules(text, variables, one, two, true, RecogniserMode::kCached);
  const auto sum = rules.CheckAdd(rules.whole());
  ASSERT_TRUE(sum.has_value());
  EXPECT_EQ(rules.text(sum->first), "X");
  EXPECT_EQ(rules.text(sum->second), "1");
}

}  // namespace
}  // namespace ormel
