#include <benchmark/benchmark.h>
#include <muParser.h>

#include <string>
#include <vector>

#include "engine/parser.h"

namespace {

std::string chainOf(const std::string& term, const std::string& op, int terms) {
  std::string text = term;
  for (int i = 1; i < terms; ++i) text += op + term;
  return text;
}

std::string sumOf(const std::string& term, int terms) { return chainOf(term, "+", terms); }

const std::vector<std::string>& compileLines() {
  static const std::vector<std::string> lines = {"1+2*3", "SIN(X)^2+COS(X)^2", "(1+2)*(3-4)/5",
                                                 "MAX(MIN(1,2),3)", sumOf("1", 20)};
  return lines;
}

const std::vector<std::string>& evaluateLines() {
  static const std::vector<std::string> lines = {"1+2*3", "X^2+3*X+1", "SIN(X)+COS(X)*TAN(X/2)",
                                                 "((X+1)*(X-1))/(X*X+1)", sumOf("X", 20)};
  return lines;
}

// muparser spells the same functions in lower case.
std::string forMuparser(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "max") == 0 || text.compare(i, 3, "min") == 0) {
      result += text.substr(i, 3);
      i += 2;
      continue;
    }
    result += text[i];
  }
  return result;
}

void BM_Compile(benchmark::State& state) {
  ormel::TParser parser;
  parser.SetVariable("X", 0.5L);
  const std::string& line = compileLines()[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) {
    parser.SetExpression(line);
    benchmark::DoNotOptimize(parser.firstStep());
  }
  state.SetLabel(line);
}
BENCHMARK(BM_Compile)->DenseRange(0, 4);

// Lines far beyond the compiled form's limits: recognition must still finish in time linear in
// the length and without deep recursion, and the compile fail with its message.
void BM_CompileSum(benchmark::State& state) {
  ormel::TParser parser;
  parser.SetOnParserError([](ormel::TCustomParser&, const ormel::Exception&) {});
  const std::string line = sumOf("1", static_cast<int>(state.range(0)));
  for (auto _ : state) {
    parser.SetExpression(line);
    benchmark::DoNotOptimize(parser.ExpressionError());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CompileSum)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Chains that associate to the left: each operand is the chain before it.
void compileChain(benchmark::State& state, const std::string& op) {
  ormel::TParser parser;
  parser.SetOnParserError([](ormel::TCustomParser&, const ormel::Exception&) {});
  const std::string line = chainOf("1", op, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    parser.SetExpression(line);
    benchmark::DoNotOptimize(parser.ExpressionError());
  }
  state.SetComplexityN(state.range(0));
}
void BM_CompileDivChain(benchmark::State& state) { compileChain(state, "DIV"); }
void BM_CompileModChain(benchmark::State& state) { compileChain(state, "MOD"); }
BENCHMARK(BM_CompileDivChain)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_CompileModChain)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// A negated power over a chain of powers: each left operand is first asked whether it negates a
// power, which the power rule refuses at once instead of trying each of its "^".
void BM_CompilePowDivChain(benchmark::State& state) {
  ormel::TParser parser;
  parser.SetOnParserError([](ormel::TCustomParser&, const ormel::Exception&) {});
  const std::string line = "-" + chainOf("2^3", "/", static_cast<int>(state.range(0)));
  for (auto _ : state) {
    parser.SetExpression(line);
    benchmark::DoNotOptimize(parser.ExpressionError());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CompilePowDivChain)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_CompileDeep(benchmark::State& state) {
  ormel::TParser parser;
  const auto depth = static_cast<std::size_t>(state.range(0));
  const std::string line = std::string(depth, '(') + "1+2" + std::string(depth, ')');
  for (auto _ : state) {
    parser.SetExpression(line);
    benchmark::DoNotOptimize(parser.firstStep());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CompileDeep)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_MuparserCompile(benchmark::State& state) {
  mu::Parser parser;
  double x = 0.5;
  parser.DefineVar("x", &x);
  const std::string line = forMuparser(compileLines()[static_cast<std::size_t>(state.range(0))]);
  for (auto _ : state) {
    parser.SetExpr(line);
    benchmark::DoNotOptimize(parser.Eval());  // muparser compiles on the first evaluation
  }
  state.SetLabel(line);
}
BENCHMARK(BM_MuparserCompile)->DenseRange(0, 4);

std::string subtractChain(int n) {
  std::string text = "1";
  for (int i = 2; i <= n; ++i) text += "-" + std::to_string(i);
  return text;
}

void BM_CompileSubtractChain(benchmark::State& state) {
  ormel::TParser parser;
  parser.SetOnParserError([](ormel::TCustomParser&, const ormel::Exception&) {});
  const std::string line = subtractChain(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    parser.SetExpression(line);
    benchmark::DoNotOptimize(parser.ExpressionError());
  }
}
BENCHMARK(BM_CompileSubtractChain)->Arg(10)->Arg(20)->Arg(30)->Arg(60)->Unit(benchmark::kMicrosecond);

// About 1,000 characters of mixed operators, brackets, variables and calls.
std::string longLine() {
  const std::string pieces[] = {"(X+1)*2",        "SIN(X)/3",  "(4-X)DIV2", "X^2",
                                "MAX(X,3)*(2-X)", "7MOD(X+2)", "-(X*5)",    "(1.5+X)/(X+2.5)"};
  std::string text;
  for (std::size_t i = 0; text.size() < 1000; ++i) {
    const std::string piece = pieces[i % std::size(pieces)];
    text += text.empty() ? "(" + piece : (i % 3 == 0 ? ")*(" : "+") + piece;
  }
  return text + ")";
}

void BM_CompileLongLine(benchmark::State& state) {
  ormel::TParser parser;
  parser.SetVariable("X", 0.5L);
  parser.SetOnParserError([](ormel::TCustomParser&, const ormel::Exception&) {});
  const std::string line = longLine();
  for (auto _ : state) {
    parser.SetExpression(line);
    benchmark::DoNotOptimize(parser.ExpressionError());
  }
  state.SetLabel(std::to_string(line.size()) + " chars, " +
                 (parser.ExpressionError() ? "fails" : "compiles"));
}
BENCHMARK(BM_CompileLongLine)->Unit(benchmark::kMicrosecond);

void BM_Evaluate(benchmark::State& state) {
  ormel::TParser parser;
  long double* x = parser.SetVariable("X", 0.5L);
  const std::string& line = evaluateLines()[static_cast<std::size_t>(state.range(0))];
  parser.SetExpression(line);
  for (auto _ : state) {
    *x += 0.25L;
    if (*x > 1.0L) *x = 0.5L;
    benchmark::DoNotOptimize(parser.Value());
  }
  state.SetLabel(line);
}
BENCHMARK(BM_Evaluate)->DenseRange(0, 4);

// The floor: the same trees, in the same order, in hand-written long double. The constants come
// through memory so that nothing is folded away at compile time.
struct Constants {
  long double c[4] = {1.0L, 2.0L, 3.0L, 0.0L};
};

[[gnu::noinline]] long double native0(long double, const Constants& k) { return k.c[0] + k.c[1] * k.c[2]; }
[[gnu::noinline]] long double native1(long double x, const Constants& k) {
  return x * x + (k.c[2] * x + k.c[0]);
}
[[gnu::noinline]] long double native2(long double x, const Constants& k) {
  const long double sine = sinl(x);
  // Left alone, the compiler merges sinl(x) and cosl(x) into one sincosl call that computes both
  // at once; the expression has two calls, and so must the floor.
  long double y = x;
  asm("" : "+t"(y));
  return sine + cosl(y) * tanl(x / k.c[1]);
}
[[gnu::noinline]] long double native3(long double x, const Constants& k) {
  return ((x + k.c[0]) * (x - k.c[0])) / (x * x + k.c[0]);
}
[[gnu::noinline]] long double native4(long double x, const Constants&) {
  long double r = x + x;
  for (int i = 2; i < 20; ++i) r = x + r;  // X+(X+(...)): the innermost sum first
  return r;
}

void BM_NativeEvaluate(benchmark::State& state) {
  using Native = long double (*)(long double, const Constants&);
  static constexpr Native kNative[] = {native0, native1, native2, native3, native4};
  const Native f = kNative[state.range(0)];
  Constants k;
  benchmark::DoNotOptimize(&k);
  long double x = 0.5L;
  for (auto _ : state) {
    x += 0.25L;
    if (x > 1.0L) x = 0.5L;
    benchmark::DoNotOptimize(f(x, k));
  }
  state.SetLabel(evaluateLines()[static_cast<std::size_t>(state.range(0))]);
}
BENCHMARK(BM_NativeEvaluate)->DenseRange(0, 4);

void BM_MuparserEvaluate(benchmark::State& state) {
  mu::Parser parser;
  double x = 0.5;
  parser.DefineVar("x", &x);
  const std::string line = forMuparser(evaluateLines()[static_cast<std::size_t>(state.range(0))]);
  parser.SetExpr(line);
  parser.Eval();
  for (auto _ : state) {
    x += 0.25;
    if (x > 1.0) x = 0.5;
    benchmark::DoNotOptimize(parser.Eval());
  }
  state.SetLabel(line);
}
BENCHMARK(BM_MuparserEvaluate)->DenseRange(0, 4);

}  // namespace

BENCHMARK_MAIN();
