#include "engine/builtin_functions.h"

#include <cmath>

#include "base/exceptions.h"
#include "engine/constants.h"
#include "engine/fpu_math.h"
#include "engine/fpu_status.h"
#include "engine/operators.h"
#include "engine/parser.h"
#include "engine/random.h"

namespace ormel {

namespace {

constexpr long double kFpuAngleLimit = 0x1p63L;

long double x1(const TEvalStep& step) { return *step.operand1; }
long double x2(const TEvalStep& step) { return *step.operand2; }

void _sin(TEvalStep& s) { *s.result = sine(x1(s)); }
void _cos(TEvalStep& s) { *s.result = cosine(x1(s)); }
void _tan(TEvalStep& s) { *s.result = std::tan(x1(s)); }
void _cotan(TEvalStep& s) { *s.result = 1.0L / std::tan(x1(s)); }
void _arctan(TEvalStep& s) { *s.result = std::atan(x1(s)); }

void _arg(TEvalStep& s) {
  const long double x = x1(s);
  const long double y = x2(s);
  if (x > 0) {
    *s.result = std::atan(y / x);
  } else if (x < 0) {
    *s.result = std::atan(y / x) + kPi;
  } else {
    *s.result = y > 0 ? kHalfPi : -kHalfPi;
  }
}

void _sinh(TEvalStep& s) { *s.result = (std::exp(x1(s)) - std::exp(-x1(s))) * 0.5L; }
void _cosh(TEvalStep& s) { *s.result = (std::exp(x1(s)) + std::exp(-x1(s))) * 0.5L; }
void _exp(TEvalStep& s) { *s.result = std::exp(x1(s)); }
void _ln(TEvalStep& s) { *s.result = lnX87(x1(s)); }
void _log10(TEvalStep& s) { *s.result = log10X87(x1(s)); }
void _log2(TEvalStep& s) { *s.result = log2X87(x1(s)); }

void _logN(TEvalStep& s) {
  const long double numerator = log2X87(x2(s));
  // An invalid argument fails first; the base's logarithm is then not taken.
  if (std::isnan(numerator)) {
    *s.result = numerator;
    return;
  }
  *s.result = numerator / log2X87(x1(s));
}

void _sqrt(TEvalStep& s) { *s.result = sqrtX87(x1(s)); }
void _abs(TEvalStep& s) { *s.result = std::fabs(x1(s)); }
void _trunc(TEvalStep& s) { *s.result = std::trunc(x1(s)); }

void _ceil(TEvalStep& s) {
  const long double x = x1(s);
  const long double whole = std::trunc(x);
  *s.result = (x - whole) > 0 ? std::trunc(x + 1.0L) : whole;
}

void _floor(TEvalStep& s) {
  const long double x = x1(s);
  const long double whole = std::trunc(x);
  *s.result = (x - whole) >= 0 ? whole : std::trunc(x - 1.0L);
}

void _heaviside(TEvalStep& s) { *s.result = x1(s) >= 0 ? 1.0L : 0.0L; }

void _sign(TEvalStep& s) {
  const long double x = x1(s);
  *s.result = x > 0 ? 1.0L : (x == 0 ? 0.0L : (x < 0 ? -1.0L : x));
}

void _zero(TEvalStep& s) { *s.result = x1(s) == 0 ? 0.0L : 1.0L; }

void _phase(TEvalStep& s) {
  const long double q = x1(s) / kTwoOverPi;
  const long double n = std::nearbyint(q);
  if (!fitsInInt64(n)) raiseMathError<EInvalidOp>();
  *s.result = (q - n) * kTwoPi;
}

void _rnd(TEvalStep& s) { *s.result = std::trunc(x1(s)) * nextRandom(); }
void _random(TEvalStep& s) { *s.result = nextRandom(); }
void _max(TEvalStep& s) { *s.result = x2(s) > x1(s) ? x2(s) : x1(s); }
void _min(TEvalStep& s) { *s.result = x1(s) < x2(s) ? x1(s) : x2(s); }

}  // namespace

long double sine(long double x) { return std::fabs(x) >= kFpuAngleLimit ? 0.0L : std::sin(x); }
long double cosine(long double x) { return std::fabs(x) >= kFpuAngleLimit ? 0.0L : std::cos(x); }

bool drawsRandom(TEvalRoutine routine) { return routine == _rnd || routine == _random; }

void registerBuiltinFunctions(TCustomParser& parser) {
  struct Entry {
    const char* name;
    TEvalRoutine routine;
  };
  static constexpr Entry kOne[] = {
      {"TAN", _tan},       {"SIN", _sin},     {"COS", _cos},     {"SINH", _sinh},      {"COSH", _cosh},
      {"ARCTAN", _arctan}, {"COTAN", _cotan}, {"EXP", _exp},     {"LN", _ln},          {"LOG10", _log10},
      {"LOG2", _log2},     {"SQR", _square},  {"SQRT", _sqrt},   {"ABS", _abs},        {"TRUNC", _trunc},
      {"INT", _trunc},     {"CEIL", _ceil},   {"FLOOR", _floor}, {"HEAV", _heaviside}, {"SIGN", _sign},
      {"ZERO", _zero},     {"PH", _phase},    {"RND", _rnd},     {"RANDOM", _random},
  };
  static constexpr Entry kTwo[] = {
      {"MAX", _max},           {"MIN", _min},   {"POWER", _power},
      {"INTPOWER", _IntPower}, {"LOGN", _logN}, {"ARG", _arg},
  };
  for (const Entry& e : kOne) parser.AddFunctionOneParam(e.name, e.routine);
  for (const Entry& e : kTwo) parser.AddFunctionTwoParam(e.name, e.routine);
}

}  // namespace ormel
