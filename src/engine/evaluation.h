#pragma once

#include "engine/compiler.h"

namespace ormel {

/// Runs the step list and returns the value of its last step. Errors are checked once at the
/// end; when one shows, the list is run again step by step so that the first failing operation
/// decides what is thrown. Only for lists whose routines give the same results when repeated.
[[nodiscard]] long double evaluate(const StepList& list);

/// Runs the step list checking the FPU flags after every step (for lists that draw random
/// values, which a second run would not repeat).
[[nodiscard]] long double evaluateChecked(const StepList& list);

}  // namespace ormel
