#include "engine/evaluation.h"

#include "base/exceptions.h"
#include "engine/fpu_status.h"

namespace ormel {

long double evaluateChecked(const StepList& list) {
  for (TEvalStep* step = list.head(); step != nullptr; step = step->next) {
    if (raisedFpuErrors()) clearFpuErrors();
    step->routine(*step);
    if (const unsigned raised = raisedFpuErrors()) throwFpuError(raised);
  }
  return *list.last()->result;
}

long double evaluate(const FastProgram& program, const StepList& list) {
  // Flags left over from before only cost one checked run, which clears them step by step.
  long double value = 0;
  try {
    value = program.run();
  } catch (const Exception&) {
    // A routine found an error itself; an earlier step may have failed first.
    return evaluateChecked(list);
  }
  if (raisedFpuErrors()) return evaluateChecked(list);
  return value;
}

}  // namespace ormel
