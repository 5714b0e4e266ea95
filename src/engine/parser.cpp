#include "engine/parser.h"

#include "base/text.h"
#include "engine/builtin_functions.h"
#include "engine/convertNums.h"
#include "engine/evaluation.h"
#include "engine/operators.h"

namespace ormel {

namespace {

bool isIdentifier(std::string_view name) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (name.empty() || !letter(name[0])) return false;
  for (const char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

}  // namespace

TCustomParser::TCustomParser() = default;

TCustomParser::~TCustomParser() = default;

void TCustomParser::SetExpression(const std::string& text) { ParseExpression(text); }

bool TCustomParser::ParseExpression(const std::string& text) {
  FreeExpression();
  m_expression = text;
  if (text.empty()) return false;
  try {
    m_steps = ParseFunction(text, m_variables, m_functionsOne, m_functionsTwo, m_pascalNumberformat,
                            m_recogniserMode);
  } catch (const Exception& e) {
    m_expressionError = true;
    if (!m_onParserError) throw;
    m_onParserError(*this, e);
    return false;
  }
  m_expressionError = false;
  giveOperatorRoutines(m_steps.head());
  buildProgram();
  return true;
}

void TCustomParser::buildProgram() {
  m_program.clear();
  if (m_evaluationMode == EvaluationMode::kStepByStep) return;
  for (const TEvalStep* step = m_steps.head(); step != nullptr; step = step->next) {
    if (drawsRandom(step->routine)) return;
  }
  m_program.build(m_steps);
}

void TCustomParser::setEvaluationMode(EvaluationMode mode) {
  m_evaluationMode = mode;
  buildProgram();
}

long double TCustomParser::CalcValue() {
  if (m_steps.empty()) return 0.0L;
  return evaluate(m_program, m_steps);
}

long double* TCustomParser::SetVariable(const std::string& name, long double value) {
  std::string upper = upperCaseAscii(name);
  if (const int index = m_variables.find(upper); index >= 0) {
    long double* cell = m_variables.cell(index);
    *cell = value;
    return cell;
  }
  if (!isIdentifier(upper)) throw EBadName(upper);
  return m_variables.add(std::move(upper), value);
}

void TCustomParser::ClearVariables() {
  ParseExpression(std::string());
  m_variables.clear();
}

void TCustomParser::FreeExpression() {
  m_program.clear();
  m_steps = StepList();
}

void TCustomParser::AddFunctionOneParam(const std::string& name, TEvalRoutine routine) {
  if (!isIdentifier(name)) throw EBadName(name);
  m_functionsOne.add(name, routine);
}

void TCustomParser::AddFunctionTwoParam(const std::string& name, TEvalRoutine routine) {
  if (!isIdentifier(name)) throw EBadName(name);
  m_functionsTwo.add(name, routine);
}

TParser::TParser() {
  registerBuiltinFunctions(*this);
  registerConversionFunctions(*this);
}

}  // namespace ormel
