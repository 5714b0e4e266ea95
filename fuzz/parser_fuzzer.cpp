// Compiles and evaluates arbitrary text through the parser object, with the cached and the
// uncached recognisers: every failure must be one of the engine's exceptions, and both must
// agree on the outcome (kept to texts with few operators, where the uncached rules stay fast).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/text.h"
#include "engine/parser.h"

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

ormel::TParser& prepared(ormel::RecogniserMode mode) {
  static ormel::TParser cached;
  static ormel::TParser uncached;
  ormel::TParser& parser = mode == ormel::RecogniserMode::kCached ? cached : uncached;
  static bool once = [] {
    for (auto* p : {&cached, &uncached}) {
      p->SetVariable("X", 2.5L);
      p->SetVariable("Y", -3);
      p->SetVariable("XMODY", 7);
    }
    uncached.setRecogniserMode(ormel::RecogniserMode::kUncached);
    return true;
  }();
  (void)once;
  return parser;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string upper = ormel::upperCaseAscii(text);
  if (upper.find("RND") != std::string::npos || upper.find("RANDOM") != std::string::npos) {
    // Random draws differ between the two parsers; compare nothing then.
    run(prepared(ormel::RecogniserMode::kCached), text);
    return 0;
  }
  const Outcome cached = run(prepared(ormel::RecogniserMode::kCached), text);
  // The uncached rules take time exponential in the number of operators: compare on few only.
  if (std::count_if(text.begin(), text.end(), [](char c) { return std::strchr("+-*/^,DdMm", c) != nullptr; }) <= 10) {
    const Outcome uncached = run(prepared(ormel::RecogniserMode::kUncached), text);
    if (!(cached == uncached)) std::abort();
  }
  return 0;
}
