#include "engine/convertNums.h"

#include <cmath>
#include <limits>

#include "base/exceptions.h"
#include "engine/builtin_functions.h"
#include "engine/constants.h"
#include "engine/fpu_math.h"
#include "engine/fpu_status.h"
#include "engine/parser.h"

namespace ormel {

namespace {

constexpr long double kEpsilon = 1E-16L;
constexpr long double kInfinity = std::numeric_limits<long double>::infinity();

long double x1(const TEvalStep& step) { return *step.operand1; }
long double x2(const TEvalStep& step) { return *step.operand2; }

bool nearZero(long double x) { return std::fabs(x) <= kEpsilon; }
bool nearOne(long double x) { return std::fabs(x - 1.0L) <= kEpsilon; }
bool nearMinusOne(long double x) { return std::fabs(x + 1.0L) <= kEpsilon; }

long double guardedSinh(long double x) { return nearZero(x) ? 0.0L : (std::exp(x) - std::exp(-x)) / 2.0L; }
long double guardedCosh(long double x) { return nearZero(x) ? 1.0L : (std::exp(x) + std::exp(-x)) / 2.0L; }
long double guardedTanh(long double x) { return nearZero(x) ? 0.0L : guardedSinh(x) / guardedCosh(x); }
long double arcSin(long double x) { return std::atan2(x, sqrtX87(1.0L - x * x)); }
long double arcCos(long double x) { return std::atan2(sqrtX87(1.0L - x * x), x); }

/// The whole number nearest to v (ties to even) as a 64-bit integer, or EInvalidOp.
std::int64_t roundedToInt64(long double v) {
  const long double r = std::nearbyint(v);
  if (!fitsInInt64(r)) raiseMathError<EInvalidOp>();
  return static_cast<std::int64_t>(r);
}

// Length.
void _cnYardToMeter(TEvalStep& s) { *s.result = x1(s) * 0.9144L; }
void _cnMeterToYard(TEvalStep& s) { *s.result = x1(s) * 1.0936132983377L; }
void _cnFeetToMeter(TEvalStep& s) { *s.result = x1(s) * 0.3048L; }
void _cnMeterToFeet(TEvalStep& s) { *s.result = x1(s) * 3.2808398950131L; }
void _cnYardToFeet(TEvalStep& s) { *s.result = x1(s) * 3.0L; }
void _cnFeetToYard(TEvalStep& s) { *s.result = x1(s) / 3.0L; }
void _cnMileToFeet(TEvalStep& s) { *s.result = x1(s) * 5280.0L; }
void _cnFeetToMile(TEvalStep& s) { *s.result = x1(s) / 5280.0L; }
void _cnMileToMeter(TEvalStep& s) { *s.result = x1(s) * 1609.344L; }
void _cnMeterToMile(TEvalStep& s) { *s.result = x1(s) / 1609.344L; }
void _cnYardToMile(TEvalStep& s) { *s.result = x1(s) / 1760.0L; }
void _cnMileToYard(TEvalStep& s) { *s.result = x1(s) * 1760.0L; }
void _cnMileToNMile(TEvalStep& s) { *s.result = x1(s) * 0.868L; }
void _cnNMileToMile(TEvalStep& s) { *s.result = x1(s) * 1.15208L; }

// Trigonometric and hyperbolic.
void _cnArcSin(TEvalStep& s) { *s.result = arcSin(x1(s)); }
void _cnArcCos(TEvalStep& s) { *s.result = arcCos(x1(s)); }
void _cnSec(TEvalStep& s) { *s.result = 1.0L / cosine(x1(s)); }
void _cnCsc(TEvalStep& s) { *s.result = 1.0L / sine(x1(s)); }
void _cnCot(TEvalStep& s) { *s.result = 1.0L / std::tan(x1(s)); }
void _cnTanh(TEvalStep& s) { *s.result = guardedTanh(x1(s)); }
void _cnCoth(TEvalStep& s) { *s.result = 1.0L / guardedTanh(x1(s)); }
void _cnSech(TEvalStep& s) { *s.result = 1.0L / guardedCosh(x1(s)); }
void _cnCsch(TEvalStep& s) { *s.result = 1.0L / guardedSinh(x1(s)); }

void _cnArcCot(TEvalStep& s) {
  const long double x = x1(s);
  *s.result = nearZero(x) ? kHalfPi : std::atan(1.0L / x);
}

void _cnArcSec(TEvalStep& s) {
  const long double x = x1(s);
  *s.result = nearZero(x) ? kInfinity : arcCos(1.0L / x);
}

void _cnArcCsc(TEvalStep& s) {
  const long double x = x1(s);
  *s.result = nearZero(x) ? kInfinity : arcSin(1.0L / x);
}

void _cnArcCosh(TEvalStep& s) {
  const long double x = x1(s);
  *s.result = lnX87(x + sqrtX87((x - 1.0L) / (x + 1.0L)) * (x + 1.0L));
}

void _cnArcSinh(TEvalStep& s) {
  const long double x = x1(s);
  *s.result = lnX87(x + sqrtX87(x * x + 1.0L));
}

void _cnArcTanh(TEvalStep& s) {
  const long double x = x1(s);
  if (nearOne(x)) {
    *s.result = kInfinity;
  } else if (nearMinusOne(x)) {
    *s.result = -kInfinity;
  } else {
    const unsigned before = raisedFpuErrors();
    const long double value = 0.5L * lnX87((1.0L + x) / (1.0L - x));
    // Every failure here ends in a NaN from a number; it is swallowed and the cell keeps its
    // previous value, with only the flags this computation raised cleared again.
    if (std::isnan(value) && !std::isnan(x)) {
      if (const unsigned raised = raisedFpuErrors() & ~before) clearFpuErrors(raised);
      return;
    }
    *s.result = value;
  }
}

void _cnArcCoth(TEvalStep& s) {
  const long double x = x1(s);
  if (nearOne(x)) {
    *s.result = kInfinity;
  } else if (nearMinusOne(x)) {
    *s.result = -kInfinity;
  } else {
    *s.result = 0.5L * lnX87((x + 1.0L) / (x - 1.0L));
  }
}

// Factorial, permutations, combinations.
void _cnFactorial(TEvalStep& s) {
  const long double x = x1(s);
  if (x == 0) {
    *s.result = 1.0L;
    return;
  }
  const std::int32_t n = low32(roundedToInt64(x));
  long double product = x;
  // Stops at the first infinity: the overflow is flagged and the rest changes nothing.
  for (std::int32_t factor = n - 1; factor >= 1 && !std::isinf(product); --factor) {
    product *= static_cast<long double>(factor);
  }
  *s.result = product;
}

void _cnPermutation(TEvalStep& s) {
  const long double x = x1(s);
  const long double y = x2(s);
  const long double numerator = factorial(x);
  *s.result = numerator / static_cast<long double>(factorial(x - y));
}

void _cnCombination(TEvalStep& s) {
  const long double x = x1(s);
  const long double y = x2(s);
  const long double numerator = factorial(x);
  const long double ky = factorial(y);
  const long double kxy = factorial(x - y);
  *s.result = numerator / (ky * kxy);
}

// Angle.
void _cnRadToDeg(TEvalStep& s) { *s.result = x1(s) * k180OverPi; }
void _cnRadToGrad(TEvalStep& s) { *s.result = x1(s) * k200OverPi; }
void _cnRadToCycle(TEvalStep& s) { *s.result = x1(s) / kTwoPi; }
void _cnDegToRad(TEvalStep& s) { *s.result = x1(s) * kPiOver180; }
void _cnDegToGrad(TEvalStep& s) { *s.result = (x1(s) * kPiOver180) * k200OverPi; }
void _cnDegToCycle(TEvalStep& s) { *s.result = (x1(s) * kPiOver180) / kTwoPi; }
void _cnGradToDeg(TEvalStep& s) { *s.result = (x1(s) * kPiOver200) * k180OverPi; }
void _cnGradToRad(TEvalStep& s) { *s.result = x1(s) * kPiOver200; }
void _cnGradToCycle(TEvalStep& s) { *s.result = (x1(s) * kPiOver200) / kTwoPi; }

// Temperature.
void _cnFarhToCels(TEvalStep& s) { *s.result = (x1(s) - 32.0L) * kFiveNinths; }
void _cnFarhToRank(TEvalStep& s) { *s.result = x1(s) + 459.7L; }
void _cnFarhToKelvin(TEvalStep& s) { *s.result = (x1(s) + 459.7L) * kFiveNinths; }
void _cnCelsToFarh(TEvalStep& s) { *s.result = kOnePointEight * x1(s) + 32.0L; }
void _cnCelsToKel(TEvalStep& s) { *s.result = x1(s) + 273.15L; }
void _cnCelsToRank(TEvalStep& s) { *s.result = (x1(s) + 273.15L) * kOnePointEight; }
void _cnKelToFarh(TEvalStep& s) { *s.result = x1(s) * kOnePointEight - 459.7L; }
void _cnKelToRank(TEvalStep& s) { *s.result = x1(s) * kOnePointEight; }
void _cnKelToCels(TEvalStep& s) { *s.result = x1(s) - 273.15L; }
void _cnRankToKel(TEvalStep& s) { *s.result = x1(s) * 0.5556L; }
void _cnRankToCels(TEvalStep& s) { *s.result = x1(s) / kOnePointEight - 273.15L; }
void _cnRankToFarh(TEvalStep& s) { *s.result = x1(s) - 459.7L; }

}  // namespace

float factorial(long double x) {
  if (x == 0) return 1.0F;
  const float single = static_cast<float>(x);
  if (std::isinf(single) && !std::isinf(x)) raiseMathError<EOverflow>();
  const std::int32_t n = low32(roundedToInt64(single));
  float product = single;
  for (std::int32_t factor = n - 1; factor >= 1; --factor) {
    product *= static_cast<float>(factor);
    if (std::isinf(product)) raiseMathError<EOverflow>();
  }
  return product;
}

void registerConversionFunctions(TCustomParser& parser) {
  struct Entry {
    const char* name;
    TEvalRoutine routine;
  };
  static constexpr Entry kLengthAndTrigonometry[] = {
      {"YARDTOMETER", _cnYardToMeter},
      {"METERTOYARD", _cnMeterToYard},
      {"FEETTOMETER", _cnFeetToMeter},
      {"METERTOFEET", _cnMeterToFeet},
      {"YARDTOFEET", _cnYardToFeet},
      {"FEELTOYARD", _cnFeetToYard},
      {"MILETOFEET", _cnMileToFeet},
      {"FEETTOMILE", _cnFeetToMile},
      {"MILETOMETER", _cnMileToMeter},
      {"METERTOMILE", _cnMeterToMile},
      {"YARDTOMILE", _cnYardToMile},
      {"MILETOYARD", _cnMileToYard},
      {"MILETONMILE", _cnMileToNMile},
      {"NMILETOMILE", _cnNMileToMile},
      {"ARCSIN", _cnArcSin},
      {"ARCCOS", _cnArcCos},
      {"SEC", _cnSec},
      {"CSC", _cnCsc},
      {"COT", _cnCot},
      {"TANH", _cnTanh},
      {"COTH", _cnCoth},
      {"SECH", _cnSech},
      {"CSCH", _cnCsch},
      {"ARCCOT", _cnArcCot},
      {"ARCSEC", _cnArcSec},
      {"ARCCSC", _cnArcCsc},
      {"ARCCOSH", _cnArcCosh},
      {"ARCSINH", _cnArcSinh},
      {"ARCTANH", _cnArcTanh},
      {"ARCCOTH", _cnArcCoth},
      {"FACT", _cnFactorial},
  };
  static constexpr Entry kAngleAndTemperature[] = {
      {"RADTODEG", _cnRadToDeg},     {"RADTOGRAG", _cnRadToGrad},   {"RADTOCYCLE", _cnRadToCycle},
      {"DEGTORAD", _cnDegToRad},     {"DEGTOGRAD", _cnDegToGrad},   {"DEGTOCYCLE", _cnDegToCycle},
      {"GRADTODEG", _cnGradToDeg},   {"GRADTORAD", _cnGradToRad},   {"GRADTOCYCE", _cnGradToCycle},
      {"CYCLETODEG", _cnRadToDeg},   {"CYCLETOGRAD", _cnRadToGrad}, {"CYCLETORAD", _cnRadToCycle},
      {"FARHTOCELS", _cnFarhToCels}, {"FARHTORANK", _cnFarhToRank}, {"FARHTOKELVIN", _cnFarhToKelvin},
      {"CELSTOFARH", _cnCelsToFarh}, {"CELSTOKEL", _cnCelsToKel},   {"CELSTORANK", _cnCelsToRank},
      {"KELTOFARH", _cnKelToFarh},   {"KELTORANK", _cnKelToRank},   {"KELTOCELS", _cnKelToCels},
      {"RANKTOKEL", _cnRankToKel},   {"RANKTOCELS", _cnRankToCels}, {"RANKTOFARH", _cnRankToFarh},
  };
  for (const Entry& e : kLengthAndTrigonometry) parser.AddFunctionOneParam(e.name, e.routine);
  parser.AddFunctionTwoParam("COMBIN", _cnCombination);
  parser.AddFunctionTwoParam("PERM", _cnPermutation);
  for (const Entry& e : kAngleAndTemperature) parser.AddFunctionOneParam(e.name, e.routine);
}

}  // namespace ormel
