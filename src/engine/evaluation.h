#pragma once

#include "engine/compiler.h"
#include "engine/fast_program.h"

namespace ormel {

/// Runs the program made from the step list and returns its value. Errors are checked once at
/// the end; when one shows, the list is run again step by step so that the first failing
/// operation decides what is thrown. Only for lists whose routines repeat their results; an
/// empty program runs the list step by step.
[[nodiscard]] long double evaluate(const FastProgram& program, const StepList& list);

/// Runs the step list checking the FPU flags after every step (for lists that draw random
/// values, which a second run would not repeat).
[[nodiscard]] long double evaluateChecked(const StepList& list);

}  // namespace ormel
