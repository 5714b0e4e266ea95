#include "scratchpad/error_span.h"

#include <vector>

#include "base/exceptions.h"
#include "base/unicode_text.h"
#include "engine/parser_errors.h"

namespace ormel {

namespace {

bool continuesHexToken(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

/// The line as the evaluation reads it (blanks removed, capitals), with the byte of the line that
/// each of its bytes came from.
struct SqueezedLine {
  std::string text;
  std::vector<std::size_t> origin;

  explicit SqueezedLine(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == ' ') continue;
      text += upperAscii(line[i]);
      origin.push_back(i);
    }
  }
};

/// The constant's first occurrence that is not the start of a longer one: the one the
/// conversion stopped at, since it works from the left.
std::size_t findToken(const std::string& text, const std::string& token) {
  if (token.empty()) return std::string::npos;
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + 1)) {
    const std::size_t after = at + token.size();
    if (after >= text.size() || !continuesHexToken(text[after])) return at;
  }
  return std::string::npos;
}

}  // namespace

LineFailure lineFailureOf(const std::exception& error) {
  const std::string message = error.what();
  if (dynamic_cast<const EBadName*>(&error) != nullptr) return {LineFailureKind::kName, message, {}};
  if (dynamic_cast<const EConvertError*>(&error) != nullptr) {
    // "'$G1' is not a valid integer value": the constant stands between the quotes.
    const std::size_t open = message.find('\'');
    const std::size_t close = message.find('\'', open + 1);
    if (open == 0 && close != std::string::npos) {
      return {LineFailureKind::kHexToken, message, message.substr(1, close - 1)};
    }
  }
  return {LineFailureKind::kExpression, message, {}};
}

LineSpan errorSpanIn(std::string_view line, const LineFailure& failure) {
  const SqueezedLine squeezed(line);
  const std::string& text = squeezed.text;
  if (text.empty()) return {};
  std::size_t begin = 0;
  std::size_t end = text.size();
  const std::size_t equals = text.find('=');
  switch (failure.kind) {
    case LineFailureKind::kHexToken:
      if (const std::size_t at = findToken(text, failure.token); at != std::string::npos) {
        begin = at;
        end = at + failure.token.size();
      }
      break;
    case LineFailureKind::kName:
      // A missing name is marked where it should stand: at the "=".
      if (equals != std::string::npos) end = equals == 0 ? 1 : equals;
      break;
    case LineFailureKind::kExpression:
      if (equals != std::string::npos && equals + 1 < text.size()) begin = equals + 1;
      break;
  }
  const std::size_t first = squeezed.origin[begin];
  const std::size_t last = squeezed.origin[end - 1] + 1;
  const int start = utf16Length(line.substr(0, first));
  return {start, utf16Length(line.substr(0, last)) - start};
}

}  // namespace ormel
