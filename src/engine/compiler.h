#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "engine/eval_step.h"
#include "engine/function_table.h"
#include "engine/variable_table.h"

namespace ormel {

/// How the recognisers are run. Both give identical trees, steps and errors; the uncached rules
/// take time exponential in the length of left-nesting chains and exist for tests and benchmarks.
enum class RecogniserMode { kCached, kUncached };

/// A compiled expression: the step list together with the steps and the cells it owns (one per
/// numeric constant, one result cell per step). Variable cells belong to the variable table.
class StepList {
 public:
  StepList() = default;
  StepList(const StepList&) = delete;
  StepList& operator=(const StepList&) = delete;
  StepList(StepList&&) = default;
  StepList& operator=(StepList&&) = default;

  /// The first step to run, or nullptr when nothing is compiled.
  [[nodiscard]] TEvalStep* head() const { return m_head; }
  /// The step whose result cell holds the value, or nullptr.
  [[nodiscard]] TEvalStep* last() const { return m_last; }
  [[nodiscard]] bool empty() const { return m_head == nullptr; }

  /// Allocates a step with no cells and no successor (the compiler's CreateOperation).
  TEvalStep* CreateOperation(std::uint8_t kind, TEvalRoutine routine);
  /// Allocates a cell owned by the list.
  long double* newCell(long double value);
  /// Allocates a cell owned by the list for a numeric constant; nothing writes it afterwards.
  long double* newConstant(long double value);
  /// The cells of the numeric constants, in the order they were made.
  [[nodiscard]] const std::deque<long double>& constants() const { return m_constants; }
  /// Fixes the order of the steps: first to last, each linked to the next.
  void link(TEvalStep* head, TEvalStep* last) {
    m_head = head;
    m_last = last;
  }

 private:
  std::deque<TEvalStep> m_steps;
  std::deque<long double> m_cells;
  std::deque<long double> m_constants;
  TEvalStep* m_head = nullptr;
  TEvalStep* m_last = nullptr;
};

/// Compiles one expression into a step list. Steps of kinds 14 and 15 carry their function's
/// routine, the others none (the parser object assigns those). Throws the EMathParserError family
/// (or an arithmetic error of an exponent constant) and leaves nothing allocated on failure.
[[nodiscard]] StepList ParseFunction(std::string_view text, const VariableTable& variables,
                                     const FunctionTable& functionsOne, const FunctionTable& functionsTwo,
                                     bool pascalNumberformat, RecogniserMode mode = RecogniserMode::kCached);

}  // namespace ormel
