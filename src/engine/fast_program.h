#pragma once

#include <cstdint>
#include <vector>

#include "engine/compiler.h"

namespace ormel {

/// A step list recast for speed: the operator steps run inline in one loop that hands each
/// result to the next step in a register, and stores only the results read later from their
/// cells. The arithmetic, its order and its rounding are the step list's exactly; function calls
/// and the integer operators run their routines on the original steps.
class FastProgram {
 public:
  /// Recasts a compiled list whose steps all carry their routines; empty list, empty program.
  void build(const StepList& list);
  void clear() { m_ops.clear(); }
  /// Runs the program and returns the value of the last step. Arithmetic errors are left in the
  /// FPU flags, or thrown by the routines that detect them themselves.
  [[nodiscard]] long double run() const;

 private:
  struct Op {
    const long double* a;
    const long double* b;
    long double* store;
    TEvalStep* step;
    std::uint8_t code;
  };
  std::vector<Op> m_ops;
};

}  // namespace ormel
