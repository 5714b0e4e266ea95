#pragma once

#include "engine/compiler.h"
#include "engine/fast_program.h"
#include "engine/fpu_status.h"

namespace ormel {

/// Runs the step list checking the FPU flags after every step (for lists that draw random
/// values, which a second run would not repeat).
[[nodiscard]] long double evaluateChecked(const StepList& list);

/// Runs the program made from the step list and returns its value. Errors are checked once at
/// the end; when one shows, the list is run again step by step so that the first failing
/// operation decides what is thrown. Only for lists whose routines repeat their results; an
/// empty program runs the list step by step.
[[nodiscard]] inline long double evaluate(const FastProgram& program, const StepList& list) {
  if (program.empty()) return evaluateChecked(list);
  bool routineThrew = false;
  const long double value = program.run(routineThrew);
  // A routine that found an error itself may not have been the first to fail. Flags left over
  // from before only cost one checked run, which clears them step by step.
  if (routineThrew || raisedFpuErrors()) return evaluateChecked(list);
  return value;
}

}  // namespace ormel
