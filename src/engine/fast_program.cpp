#include "engine/fast_program.h"

#include <unordered_map>

#include "engine/operators.h"

namespace ormel {

namespace {

// Where an operator's operands come from: C a cell, R the previous step's result (the register).
enum Code : std::uint8_t {
  kAddCC, kAddRC, kAddCR,
  kSubCC, kSubRC, kSubCR,
  kMulCC, kMulRC, kMulCR,
  kDivCC, kDivRC, kDivCR,
  kNegC, kNegR,
  kSquareC, kSquareR,
  kCubeC, kCubeR,
  kFourthC, kFourthR,
  kCall,
};

/// The first of the three codes (cells, register first, register second) of a two-operand
/// operator that runs inline, or kCall.
Code binaryBase(TEvalRoutine routine) {
  if (routine == _Add) return kAddCC;
  if (routine == _Subtract) return kSubCC;
  if (routine == _Multiply) return kMulCC;
  if (routine == _RealDivide) return kDivCC;
  return kCall;
}

Code unaryBase(TEvalRoutine routine) {
  if (routine == _Negate) return kNegC;
  if (routine == _square) return kSquareC;
  if (routine == _third) return kCubeC;
  if (routine == _forth) return kFourthC;
  return kCall;
}

}  // namespace

void FastProgram::build(const StepList& list) {
  m_ops.clear();
  std::unordered_map<const long double*, std::size_t> producer;  // result cell -> op index
  std::vector<bool> readFromCell;
  const long double* previousResult = nullptr;  // never an operand of the first step
  for (TEvalStep* step = list.head(); step != nullptr; step = step->next) {
    Op op{step->operand1, step->operand2, nullptr, step, kCall};
    bool aInRegister = false;
    bool bInRegister = false;
    if (const Code binary = binaryBase(step->routine); binary != kCall) {
      aInRegister = op.a == previousResult;
      bInRegister = !aInRegister && op.b == previousResult;
      op.code = static_cast<Code>(binary + (aInRegister ? 1 : bInRegister ? 2 : 0));
    } else if (const Code unary = unaryBase(step->routine); unary != kCall) {
      aInRegister = op.a == previousResult;
      op.code = static_cast<Code>(unary + (aInRegister ? 1 : 0));
    }
    // An operand read from its cell needs the op that produces it to store it there.
    for (const auto& [cell, inRegister] : {std::pair{op.a, aInRegister}, std::pair{op.b, bInRegister}}) {
      if (cell == nullptr || inRegister) continue;
      if (const auto found = producer.find(cell); found != producer.end()) readFromCell[found->second] = true;
    }
    producer[step->result] = m_ops.size();
    readFromCell.push_back(false);
    previousResult = step->result;
    m_ops.push_back(op);
  }
  if (!m_ops.empty()) readFromCell.back() = true;
  for (std::size_t i = 0; i < m_ops.size(); ++i) {
    // Routines write their own result cells.
    if (readFromCell[i] && m_ops[i].code != kCall) m_ops[i].store = m_ops[i].step->result;
  }
}

long double FastProgram::run() const {
  long double r = 0;
  for (const Op& op : m_ops) {
    switch (op.code) {
      case kAddCC: r = *op.a + *op.b; break;
      case kAddRC: r = r + *op.b; break;
      case kAddCR: r = *op.a + r; break;
      case kSubCC: r = *op.a - *op.b; break;
      case kSubRC: r = r - *op.b; break;
      case kSubCR: r = *op.a - r; break;
      case kMulCC: r = *op.a * *op.b; break;
      case kMulRC: r = r * *op.b; break;
      case kMulCR: r = *op.a * r; break;
      case kDivCC: r = *op.a / *op.b; break;
      case kDivRC: r = r / *op.b; break;
      case kDivCR: r = *op.a / r; break;
      case kNegC: r = -*op.a; break;
      case kNegR: r = -r; break;
      case kSquareC: r = *op.a * *op.a; break;
      case kSquareR: r = r * r; break;
      case kCubeC: r = (*op.a * *op.a) * *op.a; break;
      case kCubeR: r = (r * r) * r; break;
      case kFourthC: r = (*op.a * *op.a) * (*op.a * *op.a); break;
      case kFourthR: r = (r * r) * (r * r); break;
      case kCall:
        op.step->routine(*op.step);
        r = *op.step->result;
        continue;
      default:
        __builtin_unreachable();
    }
    if (op.store != nullptr) *op.store = r;
  }
  return r;
}

}  // namespace ormel
