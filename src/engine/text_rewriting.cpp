#include <string>

#include "base/exceptions.h"
#include "base/text.h"
#include "engine/parser.h"

namespace ormel {

namespace {

bool isTokenCharacter(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

/// The value of a "$" token as a signed 32-bit integer, or EConvertError.
std::int32_t hexTokenValue(std::string_view token) {
  std::uint32_t value = 0;
  bool digits = false;
  for (std::size_t i = 1; i < token.size(); ++i) {
    const char c = token[i];
    const std::uint32_t digit =
        c <= '9' ? static_cast<std::uint32_t>(c - '0') : static_cast<std::uint32_t>(c - 'A' + 10);
    if (digit > 15 || value > 0xFFFFFFFU) {
      throw EConvertError("'" + std::string(token) + "' is not a valid integer value");
    }
    value = value * 16 + digit;
    digits = true;
  }
  if (!digits) throw EConvertError("'" + std::string(token) + "' is not a valid integer value");
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::string TParser::RemoveBlanks(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c != ' ') result.push_back(c);
  }
  return result;
}

std::string TParser::ConvertHexToDec(const std::string& text) {
  std::string result = upperCaseAscii(text);
  for (std::size_t dollar = result.find('$'); dollar != std::string::npos; dollar = result.find('$')) {
    std::size_t end = dollar + 1;
    while (end < result.size() && isTokenCharacter(result[end])) ++end;
    const std::string token = result.substr(dollar, end - dollar);
    const std::string decimal = std::to_string(hexTokenValue(token));
    // Every occurrence of the token that is not the start of a longer run is replaced; the first
    // one always is, so each round removes at least one "$".
    std::string rewritten;
    std::size_t from = 0;
    for (std::size_t at = result.find(token); at != std::string::npos;
         at = result.find(token, at + token.size())) {
      const std::size_t after = at + token.size();
      if (after < result.size() && isTokenCharacter(result[after])) continue;
      rewritten.append(result, from, at - from);
      rewritten.append(decimal);
      from = after;
    }
    rewritten.append(result, from, std::string::npos);
    result = std::move(rewritten);
  }
  return result;
}

}  // namespace ormel
