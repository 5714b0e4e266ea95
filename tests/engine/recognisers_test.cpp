#include "engine/recognisers.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/fpu_status.h"
#include "engine/parser.h"
#include "engine_test_support.h"
#include "support/row_name.h"

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

std::string repeated(const std::string& piece, int times) {
  std::string text;
  text.reserve(piece.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string inBrackets(const std::string& inside, int depth) {
  return repeated("(", depth) + inside + repeated(")", depth);
}

/// "first" followed by terms - 1 times op and "next".
std::string joined(int terms, const std::string& op, const std::string& first = "1",
                   const std::string& next = "1") {
  return first + repeated(op + next, terms - 1);
}

constexpr const char* kSameAsCached = "";
constexpr const char* kUncachedCannotFinish = nullptr;
const std::string kTooDeep = "compile: Expression is nested too deeply to compile";
const std::string kTooManyNestings = "compile: Expression contains too many nestings";

struct LongLine {
  std::string name;
  std::string text;
  std::string cached;
  /// What the rules without memo give: the same, the depth refusal, or nothing to compare
  /// where they take exponential time.
  const char* uncached;
  friend void PrintTo(const LongLine& row, std::ostream* os) { *os << row.text.substr(0, 60); }
};

class LongAndDeepLines : public testing::TestWithParam<LongLine> {
 protected:
  // An overflowing constant leaves its flag raised; later tests count the flags.
  void TearDown() override { clearFpuErrors(); }
};

// Recognition runs in bounded stack whatever the length or depth: each row would overflow an
// ordinary stack if the rules recursed once per bracket or operator.
TEST_P(LongAndDeepLines, CompileOrFailWithTheirMessage) {
  const LongLine& row = GetParam();
  TParser cached;
  EXPECT_EQ(testing_support::outcome(cached, row.text), row.cached);
  if (row.uncached == kUncachedCannotFinish) return;
  TParser uncached;
  uncached.setRecogniserMode(RecogniserMode::kUncached);
  const std::string expected = std::string(row.uncached).empty() ? row.cached : row.uncached;
  EXPECT_EQ(testing_support::outcome(uncached, row.text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LongAndDeepLines,
    testing::Values(
        LongLine{"BracketsAroundConstant", inBrackets("1", 100000), "1", kTooDeep.c_str()},
        LongLine{"BracketsAroundSum", inBrackets("2+3", 100000), "5", kTooDeep.c_str()},
        LongLine{"BracketsTheUncachedRulesFinish", inBrackets("2*3", 150), "6", kSameAsCached},
        LongLine{"BracketsBeyondTheirBudget", inBrackets("2*3", 250), "6", kTooDeep.c_str()},
        LongLine{"OneBracketShort", repeated("(", 100000) + "1" + repeated(")", 99999),
                 "compile: Missing brackets in expression", kSameAsCached},
        LongLine{"BracketsThenTrailingOperator", inBrackets("1", 100000) + "+", "compile: Parsing error",
                 kSameAsCached},
        LongLine{"OverflowDeepInside", inBrackets("1E5000", 100000), "compile: Floating point overflow",
                 kTooDeep.c_str()},
        LongLine{"OverflowDeepInsideShort", inBrackets("1E5000", 20), "compile: Floating point overflow",
                 kSameAsCached},
        LongLine{"NestedSums", repeated("(1+", 100000) + "1" + repeated(")", 100000), kTooManyNestings,
                 kTooDeep.c_str()},
        LongLine{"NestedCalls", repeated("SIN(", 100000) + "0" + repeated(")", 100000), kTooManyNestings,
                 kTooDeep.c_str()},
        LongLine{"NestedNegations", repeated("-(", 100000) + "1" + repeated(")", 100000), kTooManyNestings,
                 kTooDeep.c_str()},
        LongLine{"SumOf21Terms", joined(21, "+"), "21", kSameAsCached},
        LongLine{"SumOf22Terms", joined(22, "+"), kTooManyNestings, kSameAsCached},
        LongLine{"SumOf200000Terms", joined(200000, "+"), kTooManyNestings, kTooDeep.c_str()},
        LongLine{"SumEndingInOverflow", joined(100000, "+") + "+1E5000", "compile: Floating point overflow",
                 kTooDeep.c_str()},
        LongLine{"ShortSumEndingInOverflow", joined(12, "+") + "+1E5000", "compile: Floating point overflow",
                 kSameAsCached},
        LongLine{"ProductOf100000Factors", joined(100000, "*", "2", "2"), kTooManyNestings, kTooDeep.c_str()},
        LongLine{"DifferenceChain", joined(100000, "-"), kTooManyNestings, kUncachedCannotFinish},
        LongLine{"QuotientChain", joined(100000, "/"), kTooManyNestings, kUncachedCannotFinish},
        LongLine{"IntegerDivisionChain", joined(100000, "DIV", "7", "5"), kTooManyNestings,
                 kUncachedCannotFinish},
        LongLine{"ModuloChain", joined(100000, "MOD", "7", "5"), kTooManyNestings, kUncachedCannotFinish},
        LongLine{"WordChainOfPowers", joined(100000, "DIV", "2^2", "2^2"), kTooManyNestings,
                 kUncachedCannotFinish},
        LongLine{"WordChainAfterALargeConstant", joined(2000, "MOD", "1E30", "7"), kTooManyNestings,
                 kUncachedCannotFinish},
        LongLine{"PowerChain", joined(100000, "^", "2", "2"), "compile: Parsing error", kSameAsCached},
        LongLine{"QuotientChainOfPowersAfterAFault", joined(100000, "/", "2^^3", "4^5"),
                 "compile: Parsing error", kUncachedCannotFinish},
        LongLine{"NegatedQuotientChainOfPowers", "-" + joined(100000, "/", "2^3", "4^5"), kTooManyNestings,
                 kUncachedCannotFinish},
        LongLine{"PowerChainOfNegatedExponents", joined(100000, "^-", "(5)", "(5)"), "compile: Parsing error",
                 kUncachedCannotFinish},
        LongLine{"ProductChainOfNegatedFactors", joined(100000, "*-", "-8", "(6^7)"),
                 "compile: Parsing error", kUncachedCannotFinish},
        LongLine{"WordChainOfNegativeConstants", joined(100000, "MOD", "-8", "-8"), kTooManyNestings,
                 kUncachedCannotFinish},
        LongLine{"WordChainAfterANineteenDigitExponent", joined(100000, "DIV", "2^1234567890123456789", "7"),
                 kTooManyNestings, kUncachedCannotFinish},
        LongLine{"QuotientChainAfterAConstantNearTheRange", joined(100000, "/", "1E4920", "7"),
                 kTooManyNestings, kUncachedCannotFinish},
        LongLine{"ProductChainBeforeAQuotientChain",
                 repeated("3*", 100000) + "1" + repeated("=1(1)/LF", 100000), "compile: Parsing error",
                 kUncachedCannotFinish},
        LongLine{"QuotientChainAfterALongDigitRun", repeated("1", 100000) + "Z" + repeated("1(1)/LF", 100000),
                 "compile: Parsing error", kUncachedCannotFinish},
        LongLine{"WordChainBeforeAnExponentOutOfRange", joined(100000, "DIV", "7", "7") + "DIV2^1E30",
                 "compile: Invalid floating point operation", kUncachedCannotFinish},
        LongLine{"SumOfBracketedTerms", joined(100000, "+", "(1)", "(1)"), kTooManyNestings,
                 kTooDeep.c_str()},
        LongLine{"LongConstant", repeated("1", 1000000), "compile: Floating point overflow", kSameAsCached}),
    testing_support::RowName());

// "DIV" and "MOD" may be letters of a name; a chain skips the splits whose right operand would
// hold a word that no name covers, and must still split where the full rules do.
TEST(RecogniserCache, WordChainsAmongNamesGiveTheUncachedResults) {
  TParser cached;
  TParser uncached;
  uncached.setRecogniserMode(RecogniserMode::kUncached);
  for (TParser* p : {&cached, &uncached}) {
    p->SetVariable("XMODY", 4);
    p->SetVariable("DIVX", 3);
    p->SetVariable("IVX", 2);
    p->SetVariable("IVY", 6);
    p->SetVariable("ADIVBDIVC", 5);
    p->AddFunctionTwoParam("MODDIV", [](TEvalStep& step) { *step.result = *step.operand1 - *step.operand2; });
  }
  for (const std::string& text : std::vector<std::string>{"7DIV2DIV1",
                                                          "7MOD4MOD3",
                                                          "XMODYDIVXMODY",
                                                          "DIVXDIVDIVX",
                                                          "1DIVXMODY",
                                                          "XMODYMODXMODY",
                                                          "7MODIVX",
                                                          "7MODIVY",
                                                          "1DIV7MODIVY",
                                                          "9DIVIVX",
                                                          "7MODDIVX",
                                                          "2^2DIV2^2DIV2",
                                                          "2DIVX^2MOD3",
                                                          "2^XMODY",
                                                          "2^XMODYMOD3",
                                                          "XMODY^2DIVDIVX",
                                                          "1/2DIV3/4",
                                                          "-XMODYDIV2",
                                                          "(1DIV2)MOD(3DIV4)DIV5",
                                                          "SIN(1)DIV2",
                                                          "MODDIV(9,2)DIV2",
                                                          "9DIVMODDIV(9,2)",
                                                          "9MODMODDIV(9DIV2,2)^2",
                                                          "9DIVADIVBDIVC",
                                                          "ADIVBDIVCDIVADIVBDIVC",
                                                          "9DIVADIVB",
                                                          "1E30DIV2DIV3",
                                                          "2DIV1E30MOD7",
                                                          "12345678901234567890DIV2DIV3",
                                                          "2^12345678901234567890DIV2",
                                                          "2^-1E30DIV2",
                                                          "2^+1E19MOD2",
                                                          "2^--1E30DIV2",
                                                          "1E5000DIV2DIV3",
                                                          "2DIV1E4931MOD1E4932",
                                                          "2^.5E19DIV2",
                                                          "2^(1E30)DIV2",
                                                          "1E30^2DIV2",
                                                          "2^X^1E30DIV2",
                                                          "7DIV2*3DIV2",
                                                          "7DIV2+3MOD2",
                                                          "7DIV",
                                                          "DIV7",
                                                          "7MODMOD2",
                                                          joined(12, "DIV", "XMODY", "DIVX"),
                                                          joined(12, "MOD", "ADIVBDIVC", "9")}) {
    EXPECT_EQ(compileAndDescribe(cached, text), compileAndDescribe(uncached, text)) << text;
  }
}

// Splits are passed over only within operands that hold no constant which may make a check
// throw; the bounds for that must let no such constant through.
TEST(RecogniserCache, ConstantsAtTheBoundsGiveTheUncachedResults) {
  TParser cached;
  TParser uncached;
  uncached.setRecogniserMode(RecogniserMode::kUncached);
  for (const std::string& exponent : std::vector<std::string>{
           "9223372036854775806", "9223372036854775807", "9223372036854775807.9", "-9223372036854775809",
           "09223372036854775808", ".5E19", ".9E19", "1E18", "92233720368547758070E-1", "X^1E19"}) {
    for (const std::string& text :
         std::vector<std::string>{"X^(1)DIV2^" + exponent + "DIV3", "2^" + exponent + "^2/2^2",
                                  "2^3*2^" + exponent + "*X^", "X^-2^" + exponent + "-1-"}) {
      EXPECT_EQ(compileAndDescribe(cached, text), compileAndDescribe(uncached, text)) << text;
    }
  }
  for (const std::string& constant : std::vector<std::string>{
           "1E4932", "1.1E4932", "1.2E4932", ".5E4933", "9.9E4931", "0.001E4935", std::string(4932, '9'),
           std::string(4933, '1'), std::string(4940, '9') + "E-10",
           std::string(4931, '9') + "." + std::string(4, '9') + "E2"}) {
    for (const std::string& text :
         {"7DIV" + constant + "DIV2", "2^^" + constant + "/X^2/3", constant + "*-2^2*X^"}) {
      EXPECT_EQ(compileAndDescribe(cached, text), compileAndDescribe(uncached, text)) << text.substr(0, 40);
    }
  }
  clearFpuErrors();
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
