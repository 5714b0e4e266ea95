// Compiles and evaluates arbitrary text through the parser object, with the cached and the
// uncached recognisers: every failure must be one of the engine's exceptions, and both must
// agree on the outcome (kept to texts with few operators, where the uncached rules stay fast, and
// to texts shallow enough for their stack budget). Long and deep lines come from short recipes.
// The value must also be the one that running the steps one by one gives.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/text.h"
#include "engine/fpu_status.h"
#include "engine/parser.h"
#include "engine/parser_errors.h"
#include "long_line_recipe.h"

namespace {

struct Outcome {
  std::string error;
  long double value = 0;
  bool operator==(const Outcome& o) const {
    return error == o.error &&
           (std::memcmp(&value, &o.value, 10) == 0 || (std::isnan(value) && std::isnan(o.value)));
  }
};

Outcome run(ormel::TParser& parser, const std::string& text) {
  Outcome outcome;
  try {
    parser.SetExpression(text);
    outcome.value = parser.Value();
  } catch (const ormel::Exception& e) {
    outcome.error = e.message();
  }
  return outcome;
}

enum class Variant { kCached, kUncached, kStepByStep };

ormel::TParser& prepared(Variant variant) {
  static ormel::TParser parsers[3];
  static bool once = [] {
    for (auto& p : parsers) {
      p.SetVariable("X", 2.5L);
      p.SetVariable("Y", -3);
      p.SetVariable("XMODY", 7);
    }
    parsers[static_cast<int>(Variant::kUncached)].setRecogniserMode(ormel::RecogniserMode::kUncached);
    parsers[static_cast<int>(Variant::kStepByStep)].setEvaluationMode(ormel::EvaluationMode::kStepByStep);
    return true;
  }();
  (void)once;
  return parsers[static_cast<int>(variant)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > ormel::fuzzing::kLongestLine) return 0;
  const std::string text =
      ormel::fuzzing::expandRecipe(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string upper = ormel::upperCaseAscii(text);
  if (upper.find("RND") != std::string::npos || upper.find("RANDOM") != std::string::npos) {
    // Random draws differ between the two parsers; compare nothing then.
    run(prepared(Variant::kCached), text);
    return 0;
  }
  const Outcome cached = run(prepared(Variant::kCached), text);
  if (!(cached == run(prepared(Variant::kStepByStep), text))) std::abort();
  // Where the steps succeed, the program must succeed by itself: one that fails is rerun step by
  // step, which would hide its faults.
  const ormel::FastProgram& program = prepared(Variant::kCached).fastProgram();
  if (cached.error.empty() && !program.empty()) {
    ormel::clearFpuErrors();
    bool routineThrew = false;
    const Outcome direct{"", program.run(routineThrew)};
    if (routineThrew || ormel::raisedFpuErrors() != 0 || !(direct == cached)) std::abort();
  }
  // The uncached rules take time exponential in the number of operators: compare on few only.
  if (std::count_if(text.begin(), text.end(),
                    [](char c) { return std::strchr("+-*/^,DdMm", c) != nullptr; }) <= 10) {
    const Outcome uncached = run(prepared(Variant::kUncached), text);
    if (uncached.error == ormel::EExpressionTooDeep().message()) return 0;
    if (!(cached == uncached)) std::abort();
  }
  return 0;
}
