#pragma once

#include <vector>

#include "engine/compiler.h"
#include "engine/x87_machine.h"

namespace ormel {

/// A step list recast as code for the x87 machine: operator steps become register operations,
/// each intermediate result stays on the register stack until it is used, and a variable or
/// constant read more than once is loaded once. The same operations run on the same values as
/// in the step list, so every result and every raised flag is the same; only independent steps
/// may run in another order. Function calls and the integer operators run their routines on the
/// original steps, with their operands stored in their cells first.
class FastProgram {
 public:
  /// Translates a compiled list whose steps all carry their routines. The code uses at most
  /// `registers` (2 to 8) x87 registers; fewer than 8 only to test how it copes without them.
  /// Where the machine is not available the program stays empty.
  void build(const StepList& list, int registers = x87::kRegisters);
  void clear() {
    m_code.clear();
    m_depth = 0;
  }
  [[nodiscard]] bool empty() const { return m_code.empty(); }

  /// Runs the program (not empty) and returns the value of the list's last step; see x87::run.
  [[nodiscard]] long double run(bool& routineThrew) const { return x87::run(m_code.data(), routineThrew); }

  /// The codes of the instructions in order (for inspection).
  [[nodiscard]] std::vector<x87::Code> codes() const;
  /// The most registers in use at once.
  [[nodiscard]] int depth() const { return m_depth; }

 private:
  std::vector<x87::Instruction> m_code;
  int m_depth = 0;
};

}  // namespace ormel
