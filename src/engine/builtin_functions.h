#pragma once

#include "engine/eval_step.h"

namespace ormel {

class TCustomParser;

/// Registers the 30 mathematical built-ins (names and routines) with the parser's two tables.
void registerBuiltinFunctions(TCustomParser& parser);

/// True for the routines that draw from the pseudo-random generator each time they run.
[[nodiscard]] bool drawsRandom(TEvalRoutine routine);

/// Sine and cosine as the FPU computes them: 0 once |x| reaches 2^63, where it gives up.
[[nodiscard]] long double sine(long double x);
[[nodiscard]] long double cosine(long double x);

}  // namespace ormel
