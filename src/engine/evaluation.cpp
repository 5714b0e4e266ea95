#include "engine/evaluation.h"

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
  if (program.empty()) return evaluateChecked(list);
  bool routineThrew = false;
  const long double value = program.run(routineThrew);
  // A routine that found an error itself may not have been the first to fail. Flags left over
  // from before only cost one checked run, which clears them step by step.
  if (routineThrew || raisedFpuErrors()) return evaluateChecked(list);
  return value;
}

}  // namespace ormel
