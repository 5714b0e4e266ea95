#pragma once

#include "base/exceptions.h"

namespace ormel {

/// Base of every compile failure of the expression engine; never raised itself.
class EMathParserError : public Exception {
 public:
  using Exception::Exception;
};

/// A blank inside the trimmed expression text.
class EExpressionHasBlanks : public EMathParserError {
 public:
  EExpressionHasBlanks() : EMathParserError("Expression has blanks") {}
};

/// Unequal numbers of "(" and ")".
class EMissMatchingBracket : public EMathParserError {
 public:
  EMissMatchingBracket() : EMathParserError("Missing brackets in expression") {}
};

/// A term that no form accepts.
class ESyntaxError : public EMathParserError {
 public:
  ESyntaxError() : EMathParserError("Parsing error") {}
};

/// A term that would lie deeper than nesting level 20.
class ETooManyNestings : public EMathParserError {
 public:
  ETooManyNestings() : EMathParserError("Expression contains too many nestings") {}
};

/// A nesting level that would need more than 50 steps.
class EExpressionTooComplex : public EMathParserError {
 public:
  EExpressionTooComplex() : EMathParserError("Expression is too complex") {}
};

/// A text whose recognition would need more open rule calls than the fixed stack budget allows.
class EExpressionTooDeep : public EMathParserError {
 public:
  EExpressionTooDeep() : EMathParserError("Expression is nested too deeply to compile") {}
};

/// An inconsistent parse tree.
class EParserInternalError : public EMathParserError {
 public:
  EParserInternalError() : EMathParserError("Internal parse error") {}
};

/// A variable or function name that is no identifier; the message is the name.
class EBadName : public EMathParserError {
 public:
  using EMathParserError::EMathParserError;
};

}  // namespace ormel
