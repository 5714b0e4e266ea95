#include "engine/fast_program.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "engine/operators.h"

namespace ormel {

namespace {

using x87::Code;
using x87::Combine;

std::optional<Combine> combineOf(TEvalRoutine routine) {
  if (routine == _Add) return Combine::kAdd;
  if (routine == _Subtract) return Combine::kSubtract;
  if (routine == _Multiply) return Combine::kMultiply;
  if (routine == _RealDivide) return Combine::kDivide;
  return std::nullopt;
}

std::optional<Code> unaryOf(TEvalRoutine routine) {
  if (routine == _Negate) return x87::kNegate;
  if (routine == _square) return x87::kSquare;
  if (routine == _third) return x87::kCube;
  if (routine == _forth) return x87::kFourth;
  return std::nullopt;
}

/// The operation with its operands exchanged: a op b is b op' a.
Combine swapped(Combine c) {
  switch (c) {
    case Combine::kSubtract:
      return Combine::kSubtractFrom;
    case Combine::kSubtractFrom:
      return Combine::kSubtract;
    case Combine::kDivide:
      return Combine::kDivideInto;
    case Combine::kDivideInto:
      return Combine::kDivide;
    default:
      return c;  // addition and multiplication commute, to the last bit
  }
}

/// What an operator step reads: a cell as it is (a variable, a constant, a routine's result), or
/// the result of another operator step, which then lives only in a register.
struct Operand {
  const long double* cell = nullptr;
  int term = -1;  // the operator step computing it, or -1
};

/// An operator step, computed on the register stack.
struct Term {
  bool binary = false;
  Combine combine = Combine::kAdd;
  Code unary = x87::kNegate;
  Operand operand[2];
  bool readByRoutine = false;  // its result is an operand of a function or integer operator
  int need = 0;                // registers its code occupies above the depth it starts at
};

/// Identifies what a cell holds: its address, or for a constant its value.
struct LeafKey {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  auto operator<=>(const LeafKey&) const = default;
};

/// A cell that the code of one tree reads. Constants of equal value count as one.
struct Leaf {
  LeafKey key;
  const long double* cell;
  int first;  // when it is first read, so that the choice of kept cells does not follow addresses
  int uses = 1;
  int slot = -1;  // while loaded once for all its reads: its place from the bottom of the stack
};

class Translator {
 public:
  Translator(const StepList& list, int registers);
  [[nodiscard]] std::vector<x87::Instruction> takeCode() { return std::move(m_code); }
  [[nodiscard]] int maxDepth() const { return m_maxDepth; }

 private:
  void translate(const StepList& list);
  /// The operator step computing the cell, or -1.
  [[nodiscard]] int producerOf(const long double* cell) const;
  /// Code for the tree of operator steps under `root`, from and back to an empty stack: its value
  /// is stored into `storeInto`, or, with none, returned.
  void tree(int root, const long double* storeInto);
  void collectLeaves(int term);
  [[nodiscard]] LeafKey keyOf(const long double* cell) const;
  [[nodiscard]] int slotOf(const long double* cell) const;
  int computeNeed(int term);
  [[nodiscard]] int need(const Operand& o) const { return o.term >= 0 ? m_terms[o.term].need : 1; }
  /// Registers for combining acc with a cell: one more while a cell that is not kept is loaded.
  [[nodiscard]] int combineNeed(const long double* cell) const { return slotOf(cell) >= 0 ? 1 : 2; }
  /// Code that pushes the value of the term.
  void term(int index);
  void push(const Operand& o);
  void combineWith(Combine c, const long double* cell);
  void emit(Code code, const void* argument = nullptr);

  const int m_registers;
  std::vector<const long double*> m_constants;                 // sorted
  std::vector<std::pair<const long double*, int>> m_producer;  // result cell -> operator step, sorted
  std::vector<Term> m_terms;
  std::vector<Leaf> m_leaves;   // of the tree being translated, sorted by key
  std::vector<int> m_repeated;  // its leaves read more than once, most read first
  std::vector<x87::Instruction> m_code;
  int m_depth = 0;
  int m_maxDepth = 0;
};

Translator::Translator(const StepList& list, int registers)
    : m_registers(std::clamp(registers, 2, x87::kRegisters)) {
  std::size_t steps = 0;
  for (const TEvalStep* step = list.head(); step != nullptr; step = step->next) ++steps;
  m_producer.reserve(steps);
  m_terms.reserve(steps);
  m_leaves.reserve(steps + 1);
  m_repeated.reserve(steps + 1);
  m_code.reserve(2 * steps + 2);
  m_constants.reserve(list.constants().size());
  for (const long double& constant : list.constants()) m_constants.push_back(&constant);
  std::sort(m_constants.begin(), m_constants.end());
  translate(list);
}

void Translator::translate(const StepList& list) {
  const TEvalStep* last = list.last();
  if (list.head() == last && last->routine == _nothing) {
    // A lone variable or constant.
    emit(x87::kLoad, last->operand1);
    emit(x87::endDropping(0));
    return;
  }
  const auto isOperator = [](const TEvalStep* step) {
    return combineOf(step->routine) || unaryOf(step->routine);
  };
  for (const TEvalStep* step = list.head(); step != nullptr; step = step->next) {
    if (isOperator(step)) m_producer.emplace_back(step->result, static_cast<int>(m_producer.size()));
  }
  std::sort(m_producer.begin(), m_producer.end());
  for (const TEvalStep* step = list.head(); step != nullptr; step = step->next) {
    const std::optional<Combine> combine = combineOf(step->routine);
    const std::optional<Code> unary = unaryOf(step->routine);
    if (!combine && !unary) {
      for (const long double* cell : {step->operand1, step->operand2}) {
        if (const int t = producerOf(cell); t >= 0) m_terms[t].readByRoutine = true;
      }
      continue;
    }
    Term term;
    term.binary = combine.has_value();
    if (combine) term.combine = *combine;
    if (unary) term.unary = *unary;
    term.operand[0] = {step->operand1, producerOf(step->operand1)};
    if (term.binary) term.operand[1] = {step->operand2, producerOf(step->operand2)};
    m_terms.push_back(term);
  }
  // In list order, so that a value a routine reads is stored where the list computes it, well
  // before the routine's call needs it.
  int t = 0;
  for (const TEvalStep* step = list.head(); step != nullptr; step = step->next) {
    if (!isOperator(step)) {
      emit(x87::kCall, step);
    } else if (m_terms[t++].readByRoutine) {
      tree(t - 1, step->result);
    }
  }
  if (const int root = producerOf(last->result); root >= 0) {
    tree(root, nullptr);
  } else {
    emit(x87::kLoad, last->result);
    emit(x87::endDropping(0));
  }
}

int Translator::producerOf(const long double* cell) const {
  const auto found = std::lower_bound(m_producer.begin(), m_producer.end(), std::pair{cell, -1});
  return found != m_producer.end() && found->first == cell ? found->second : -1;
}

void Translator::tree(int root, const long double* storeInto) {
  m_leaves.clear();
  collectLeaves(root);
  // One entry per key, counting its reads.
  std::sort(m_leaves.begin(), m_leaves.end(),
            [](const Leaf& a, const Leaf& b) { return a.key != b.key ? a.key < b.key : a.first < b.first; });
  std::size_t distinct = 0;
  for (const Leaf& leaf : m_leaves) {
    if (distinct > 0 && m_leaves[distinct - 1].key == leaf.key) {
      ++m_leaves[distinct - 1].uses;
    } else {
      m_leaves[distinct++] = leaf;
    }
  }
  m_leaves.resize(distinct);
  m_repeated.clear();
  for (int i = 0; i < static_cast<int>(m_leaves.size()); ++i) {
    if (m_leaves[i].uses > 1) m_repeated.push_back(i);
  }
  std::sort(m_repeated.begin(), m_repeated.end(), [&](int a, int b) {
    return m_leaves[a].uses != m_leaves[b].uses ? m_leaves[a].uses > m_leaves[b].uses
                                                : m_leaves[a].first < m_leaves[b].first;
  });
  // Keep as many repeated cells in registers as leave the tree room; at least two registers stay
  // free, the most a tree ever needs when intermediate results may wait in their cells.
  int kept = std::min(static_cast<int>(m_repeated.size()), std::min(m_registers - 2, x87::kMostKept));
  for (;; --kept) {
    for (Leaf& leaf : m_leaves) leaf.slot = -1;
    for (int j = 0; j < kept; ++j) m_leaves[m_repeated[j]].slot = j;
    const int needed = computeNeed(root);
    if (kept == 0 || kept + needed <= m_registers) break;
  }
  for (int j = 0; j < kept; ++j) emit(x87::kLoad, m_leaves[m_repeated[j]].cell);
  term(root);
  if (storeInto == nullptr) {
    emit(x87::endDropping(kept));
    return;
  }
  emit(x87::kStore, storeInto);
  for (int j = 0; j < kept; ++j) emit(x87::kPop);
}

void Translator::collectLeaves(int index) {
  const Term& t = m_terms[index];
  for (int i = 0; i < (t.binary ? 2 : 1); ++i) {
    const Operand& o = t.operand[i];
    if (o.term >= 0) {
      collectLeaves(o.term);
    } else {
      m_leaves.push_back(Leaf{keyOf(o.cell), o.cell, static_cast<int>(m_leaves.size())});
    }
  }
}

LeafKey Translator::keyOf(const long double* cell) const {
  LeafKey key;
  if (std::binary_search(m_constants.begin(), m_constants.end(), cell)) {
    // Equal constants by their ten bytes (the rest of the cell is padding).
    std::memcpy(&key.low, cell, 8);
    std::memcpy(&key.high, reinterpret_cast<const unsigned char*>(cell) + 8, 2);
    return key;
  }
  key.low = reinterpret_cast<std::uintptr_t>(cell);
  key.high = 1U << 16;  // no constant's key has this bit
  return key;
}

int Translator::slotOf(const long double* cell) const {
  const LeafKey key = keyOf(cell);
  const auto found = std::lower_bound(m_leaves.begin(), m_leaves.end(), key,
                                      [](const Leaf& leaf, const LeafKey& k) { return leaf.key < k; });
  return found != m_leaves.end() && found->key == key ? found->slot : -1;
}

int Translator::computeNeed(int index) {
  Term& t = m_terms[index];
  for (int i = 0; i < (t.binary ? 2 : 1); ++i) {
    if (t.operand[i].term >= 0) computeNeed(t.operand[i].term);
  }
  const Operand& a = t.operand[0];
  const Operand& b = t.operand[1];
  if (!t.binary) {
    t.need = t.unary == x87::kCube ? std::max(need(a), 2) : need(a);
  } else if (b.term < 0) {
    t.need = std::max(need(a), combineNeed(b.cell));
  } else if (a.term < 0) {
    t.need = std::max(need(b), combineNeed(a.cell));
  } else {
    t.need = std::max(std::max(need(a), need(b)), std::min(need(a), need(b)) + 1);
  }
  return t.need;
}

void Translator::term(int index) {
  const Term& t = m_terms[index];
  const Operand& a = t.operand[0];
  const Operand& b = t.operand[1];
  if (!t.binary) {
    push(a);
    emit(t.unary);
    return;
  }
  if (b.term < 0) {
    push(a);
    combineWith(t.combine, b.cell);
    return;
  }
  if (a.term < 0) {
    term(b.term);
    combineWith(swapped(t.combine), a.cell);
    return;
  }
  // Both are computed: the one needing more registers first, so that the other fits above it.
  const bool aFirst = need(a) >= need(b);
  const Operand& first = aFirst ? a : b;
  const Operand& second = aFirst ? b : a;
  const Combine c = aFirst ? swapped(t.combine) : t.combine;  // acc is the second, then
  if (std::max(need(first), need(second) + 1) <= m_registers - m_depth) {
    term(first.term);
    term(second.term);
    emit(x87::withBelow(c));
    return;
  }
  // No room to keep the first in a register meanwhile: it waits in its cell.
  term(first.term);
  emit(x87::kStore, first.cell);
  term(second.term);
  combineWith(c, first.cell);
}

void Translator::push(const Operand& o) {
  if (o.term >= 0) {
    term(o.term);
  } else if (const int slot = slotOf(o.cell); slot >= 0) {
    emit(x87::copyOf(m_depth - 1 - slot));
  } else {
    emit(x87::kLoad, o.cell);
  }
}

void Translator::combineWith(Combine c, const long double* cell) {
  const int slot = slotOf(cell);
  if (slot < 0) {
    emit(x87::withCell(c), cell);
    return;
  }
  const Code code = x87::withRegister(c, m_depth - 1 - slot);
  const Code repeat = x87::repeatWithRegister(c, m_depth - 1 - slot);
  // The same operation again on the same register: counted instead (a sum or product of equal terms).
  if (!m_code.empty() && m_code.back().handler == x87::handlerOf(code)) {
    m_code.back() = {x87::handlerOf(repeat), x87::countArgument(2)};
  } else if (!m_code.empty() && m_code.back().handler == x87::handlerOf(repeat)) {
    m_code.back().argument = x87::countArgument(reinterpret_cast<std::uintptr_t>(m_code.back().argument) + 1);
  } else {
    emit(code);
  }
}

void Translator::emit(Code code, const void* argument) {
  m_code.push_back({x87::handlerOf(code), argument});
  const x87::StackEffect effect = x87::stackEffect(code);
  m_maxDepth = std::max(m_maxDepth, m_depth + effect.peak);
  m_depth += effect.change;
}

}  // namespace

void FastProgram::build(const StepList& list, int registers) {
  clear();
  if (!x87::kAvailable || list.empty()) return;
  Translator translator(list, registers);
  m_code = translator.takeCode();
  m_depth = translator.maxDepth();
}

std::vector<x87::Code> FastProgram::codes() const {
  std::vector<x87::Code> codes;
  for (const x87::Instruction& instruction : m_code) codes.push_back(x87::codeOf(instruction.handler));
  return codes;
}

}  // namespace ormel
