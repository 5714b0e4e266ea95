#include "engine/compiler.h"

#include <array>
#include <memory>
#include <string>

#include "base/text.h"
#include "engine/parser_errors.h"
#include "engine/recognisers.h"

namespace ormel {

TEvalStep* StepList::CreateOperation(std::uint8_t kind, TEvalRoutine routine) {
  TEvalStep& step = m_steps.emplace_back();
  step.kind = kind;
  step.routine = routine;
  return &step;
}

long double* StepList::newCell(long double value) { return &m_cells.emplace_back(value); }

long double* StepList::newConstant(long double value) { return &m_constants.emplace_back(value); }

namespace {

constexpr int kDeepestLevel = 20;
constexpr int kStepsPerLevel = 50;

/// One node of the parse tree.
struct TermRecord {
  Span term;
  Match operands;
  std::uint8_t kind = 0;
  int level = 0;
  int position = 0;
  int side = 1;
  std::unique_ptr<TermRecord> firstChild;
  std::unique_ptr<TermRecord> secondChild;
  TermRecord* parent = nullptr;
};

class Compiler {
 public:
  Compiler(std::string_view text, const VariableTable& variables, const FunctionTable& functionsOne,
           const FunctionTable& functionsTwo, bool pascalNumberformat, RecogniserMode mode)
      : m_rules(text, variables, functionsOne, functionsTwo, pascalNumberformat, mode),
        m_variables(variables),
        m_functionsOne(functionsOne),
        m_functionsTwo(functionsTwo) {}

  /// Builds the tree of the whole prepared text and links its steps.
  StepList run();

 private:
  void classify(TermRecord& term);
  /// Stores a cell pointer as operand 1 or 2 of the step at the term's slot.
  void deliver(const TermRecord& term, long double* cell);
  TermRecord& addChild(TermRecord& term, int side);

  Recognisers m_rules;
  const VariableTable& m_variables;
  const FunctionTable& m_functionsOne;
  const FunctionTable& m_functionsTwo;
  StepList m_list;
  std::array<std::array<TEvalStep*, kStepsPerLevel + 1>, kDeepestLevel + 1> m_grid{};
  std::array<int, kDeepestLevel + 1> m_counter{};
  int m_deepest = 0;
  TEvalStep m_holder;
};

void Compiler::classify(TermRecord& term) {
  const Span s = term.term;
  if (const int variable = m_rules.CheckVariable(s); variable >= 0) {
    term.kind = kKindVariable;
    deliver(term, m_variables.cell(variable));
    return;
  }
  if (const auto value = m_rules.CheckNumber(s)) {
    term.kind = kKindConstant;
    deliver(term, m_list.newConstant(*value));
    return;
  }
  const auto found = [&](std::uint8_t kind, const std::optional<Match>& m) {
    if (!m) return false;
    term.operands = *m;
    term.kind = kind;
    return true;
  };
  if (found(kKindNegate, m_rules.CheckNegate(s)) || found(kKindAdd, m_rules.CheckAdd(s)) ||
      found(kKindSubtract, m_rules.CheckSubtract(s)) || found(kKindMultiply, m_rules.CheckMultiply(s)) ||
      found(kKindIntDiv, m_rules.CheckIntegerDiv(s)) || found(kKindModulo, m_rules.CheckModulo(s)) ||
      found(kKindRealDivide, m_rules.CheckRealDivision(s))) {
    return;
  }
  if (const auto power = m_rules.CheckPower(s)) {
    found(power->kind, power);
    return;
  }
  if (found(kKindFunctionOne, m_rules.CheckFuncOneVar(s)) ||
      found(kKindFunctionTwo, m_rules.CheckFuncTwoVar(s))) {
    return;
  }
  throw ESyntaxError();
}

void Compiler::deliver(const TermRecord& term, long double* cell) {
  TEvalStep* step = term.level == 0 ? &m_holder : m_grid[term.level][term.position];
  (term.side == 1 ? step->operand1 : step->operand2) = cell;
}

TermRecord& Compiler::addChild(TermRecord& term, int side) {
  const int level = term.level + 1;
  if (level > kDeepestLevel) throw ETooManyNestings();
  if (level > m_deepest) m_deepest = level;
  const int position = m_counter[level] + 1;
  if (position > kStepsPerLevel) throw EExpressionTooComplex();
  auto child = std::make_unique<TermRecord>();
  child->term = side == 1 ? term.operands.first : term.operands.second;
  child->level = level;
  child->position = position;
  child->side = side;
  child->parent = &term;
  TermRecord& added = *child;
  (side == 1 ? term.firstChild : term.secondChild) = std::move(child);
  return added;
}

StepList Compiler::run() {
  Span root = m_rules.whole();
  if (!m_rules.CheckNumberBrackets(root)) throw EMissMatchingBracket();
  while (const auto inside = m_rules.CheckBracket(root)) root = *inside;
  TermRecord rootTerm;
  rootTerm.term = root;
  rootTerm.position = 1;
  m_counter[0] = 1;
  TermRecord* current = &rootTerm;
  for (;;) {
    if (!current->firstChild) {
      classify(*current);
      if (current->kind >= kKindNegate) {
        TermRecord& child = addChild(*current, 1);
        TEvalRoutine routine = nullptr;
        if (current->kind == kKindFunctionOne) routine = m_functionsOne.routine(current->operands.function);
        if (current->kind == kKindFunctionTwo) routine = m_functionsTwo.routine(current->operands.function);
        TEvalStep* step = m_list.CreateOperation(current->kind, routine);
        m_grid[child.level][child.position] = step;
        step->result = m_list.newCell(0);
        deliver(*current, step->result);
        if (isOneOperandKind(current->kind)) ++m_counter[child.level];
      }
    } else {
      if (!isTwoOperandKind(current->kind)) throw EParserInternalError();
      TermRecord& child = addChild(*current, 2);
      ++m_counter[child.level];
    }

    if (current->secondChild) {
      current = current->secondChild.get();
      continue;
    }
    if (current->firstChild) {
      current = current->firstChild.get();
      continue;
    }
    // A leaf: climb to the nearest two-operand term that still lacks its second operand.
    for (;;) {
      if (current->parent == nullptr) break;
      TermRecord* parent = current->parent;
      current->firstChild.reset();
      current->secondChild.reset();
      current = parent;
      if (isTwoOperandKind(current->kind) && !current->secondChild) break;
    }
    if (isTwoOperandKind(current->kind) && !current->secondChild) continue;
    break;
  }

  if (m_deepest == 0) {
    TEvalStep* only = m_list.CreateOperation(kKindVariable, nullptr);
    only->operand1 = m_holder.operand1;
    only->result = m_holder.operand1;
    m_list.link(only, only);
    return std::move(m_list);
  }
  TEvalStep* head = nullptr;
  TEvalStep* previous = nullptr;
  for (int level = m_deepest; level >= 1; --level) {
    for (int position = 1; position <= m_counter[level]; ++position) {
      TEvalStep* step = m_grid[level][position];
      if (previous) {
        previous->next = step;
      } else {
        head = step;
      }
      previous = step;
    }
  }
  m_list.link(head, previous);
  return std::move(m_list);
}

}  // namespace

StepList ParseFunction(std::string_view text, const VariableTable& variables,
                       const FunctionTable& functionsOne, const FunctionTable& functionsTwo,
                       bool pascalNumberformat, RecogniserMode mode) {
  const std::string upper = upperCaseAscii(text);
  std::string_view prepared = upper;
  while (!prepared.empty() && prepared.front() == ' ') prepared.remove_prefix(1);
  while (!prepared.empty() && prepared.back() == ' ') prepared.remove_suffix(1);
  if (prepared.find(' ') != std::string_view::npos) throw EExpressionHasBlanks();
  Compiler compiler(prepared, variables, functionsOne, functionsTwo, pascalNumberformat, mode);
  return compiler.run();
}

}  // namespace ormel
