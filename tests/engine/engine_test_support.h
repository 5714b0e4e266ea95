#pragma once

#include <string>

#include "base/number_format.h"
#include "engine/parser.h"

namespace ormel::testing_support {

/// What compiling and evaluating one text gives: the value's general number format, or the
/// message of the exception, prefixed with "compile: " or "value: " after where it arose.
inline std::string outcome(TParser& parser, const std::string& text) {
  try {
    parser.SetExpression(text);
  } catch (const Exception& e) {
    return "compile: " + e.message();
  }
  try {
    return FloatToStr(parser.Value());
  } catch (const Exception& e) {
    return "value: " + e.message();
  }
}

}  // namespace ormel::testing_support
