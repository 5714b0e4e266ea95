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

}  // namespace ormel
