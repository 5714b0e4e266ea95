#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/exceptions.h"
#include "engine/compiler.h"
#include "engine/eval_step.h"
#include "engine/fast_program.h"
#include "engine/function_table.h"
#include "engine/parser_errors.h"
#include "engine/variable_table.h"

namespace ormel {

class TCustomParser;

/// How the value is computed: by the fast program, or by running the steps one by one, checking
/// after each. Both give the same values and errors; the second exists for tests and benchmarks.
enum class EvaluationMode { kFast, kStepByStep };

/// Receives compile failures: the parser object and the exception.
using TParserExceptionEvent = std::function<void(TCustomParser& sender, const Exception& e)>;

/// The parser object: holds an expression, compiles it when it is set, evaluates it whenever its
/// value is read, and owns the variable table and the two function tables. Single-threaded.
class TCustomParser {
 public:
  TCustomParser();
  virtual ~TCustomParser();
  TCustomParser(const TCustomParser&) = delete;
  TCustomParser& operator=(const TCustomParser&) = delete;

  /// The text last set, exactly as given (also when it failed to compile).
  [[nodiscard]] const std::string& Expression() const { return m_expression; }
  /// Compiles the text (ParseExpression, result dropped).
  void SetExpression(const std::string& text);
  /// Compiles the text. An empty text leaves nothing compiled and the error state as it was.
  /// A failure sets the error state and goes to OnParserError when set (result false), else it
  /// propagates. Returns true when the text compiled.
  bool ParseExpression(const std::string& text);

  /// Evaluates the compiled expression; 0 when nothing is compiled. Throws EZeroDivide,
  /// EInvalidOp, EOverflow or EDivByZero, decided by the first failing operation; underflow is
  /// silent. The step list stays and can be evaluated again.
  long double Value() { return CalcValue(); }
  long double CalcValue();

  /// True when the last compile of a non-empty text failed.
  [[nodiscard]] bool ExpressionError() const { return m_expressionError; }

  /// How numeric constants are read: true (the default) for the fixed form with "." and "E";
  /// false for the locale's conversion.
  [[nodiscard]] bool PascalNumberformat() const { return m_pascalNumberformat; }
  void SetPascalNumberformat(bool value) { m_pascalNumberformat = value; }

  [[nodiscard]] const TParserExceptionEvent& OnParserError() const { return m_onParserError; }
  void SetOnParserError(TParserExceptionEvent handler) { m_onParserError = std::move(handler); }

  /// Creates the variable (name turned into capitals) or overwrites its value; returns its cell,
  /// whose address stays fixed. Throws EBadName (message: the name in capitals) for a new name
  /// that is no identifier.
  long double* SetVariable(const std::string& name, long double value);
  /// Discards the compiled expression (Expression becomes empty, the error state stays) and
  /// removes every variable.
  void ClearVariables();
  /// The variable table, in sorted order (count, name and value by index).
  [[nodiscard]] const VariableTable& Variables() const { return m_variables; }

  /// Releases the step list and the cells it owns.
  void FreeExpression();

  /// Registers a function. Throws EBadName (message: the name as given) for a name that is no
  /// identifier, EStringListError for a name already registered.
  void AddFunctionOneParam(const std::string& name, TEvalRoutine routine);
  void AddFunctionTwoParam(const std::string& name, TEvalRoutine routine);
  /// The one-argument and the two-argument function tables, names in capitals, sorted.
  [[nodiscard]] const FunctionTable& getFunctionOne() const { return m_functionsOne; }
  [[nodiscard]] const FunctionTable& getFunctionTwo() const { return m_functionsTwo; }

  /// Selects the uncached recognisers (tests and benchmarks only); results are identical.
  void setRecogniserMode(RecogniserMode mode) { m_recogniserMode = mode; }
  /// Selects how values are computed (tests and benchmarks only); results are identical.
  void setEvaluationMode(EvaluationMode mode);
  /// The first step of the compiled list, or nullptr (for inspection by tests).
  [[nodiscard]] const TEvalStep* firstStep() const { return m_steps.head(); }
  /// The program the value is computed with; empty when the steps run one by one (for inspection
  /// by tests).
  [[nodiscard]] const FastProgram& fastProgram() const { return m_program; }

 private:
  /// Makes the program for the compiled list, or leaves it empty (see m_program).
  void buildProgram();

  std::string m_expression;
  bool m_pascalNumberformat = true;
  bool m_expressionError = false;
  VariableTable m_variables;
  StepList m_steps;
  // Empty when the steps run one by one: for lists that draw random values, which a second run
  // would not repeat, and in EvaluationMode::kStepByStep.
  FastProgram m_program;
  EvaluationMode m_evaluationMode = EvaluationMode::kFast;
  TParserExceptionEvent m_onParserError;
  FunctionTable m_functionsOne;
  FunctionTable m_functionsTwo;
  RecogniserMode m_recogniserMode = RecogniserMode::kCached;
};

/// The parser the program uses: a TCustomParser with every built-in, conversion and extended
/// function registered.
class TParser : public TCustomParser {
 public:
  TParser();

  /// The text with every blank (code 32) deleted; other white space stays.
  [[nodiscard]] static std::string RemoveBlanks(const std::string& text);
  /// The text in capitals with every "$" hexadecimal constant replaced by its decimal value
  /// (32 bits, signed: "$FFFFFFFF" is -1). Throws EConvertError "'%s' is not a valid integer
  /// value" for a token with a letter G-Z, without digits, or with more than 8 significant digits.
  [[nodiscard]] static std::string ConvertHexToDec(const std::string& text);
};

/// Seeds the program's one pseudo-random generator (RND, RANDOM); call once at start-up.
void seedRandomGenerator(std::uint64_t seed);
/// Seeds the generator from the clock and the process id.
void seedRandomGeneratorFromClock();

}  // namespace ormel
