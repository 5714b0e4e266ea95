// ConvertHexToDec, isNum and FloatToStr on arbitrary input. Properties: the rewriting fails only
// with its conversion error and leaves no "$"; a formatted number is a number (isNum) and reads
// back to the same text; whatever isNum accepts formats without failing.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/exceptions.h"
#include "base/number_format.h"
#include "base/utility_routines.h"
#include "engine/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);

  try {
    const std::string rewritten = ormel::TParser::ConvertHexToDec(text);
    if (rewritten.find('$') != std::string::npos) std::abort();
  } catch (const ormel::EConvertError& e) {
    if (e.message().find("' is not a valid integer value") == std::string::npos) std::abort();
  }

  if (ormel::isNum(text)) {
    const auto value = ormel::textToFloat(text);
    if (!value) std::abort();
    const std::string shown = ormel::FloatToStr(*value);
    if (!ormel::isNum(shown) && shown != "INF" && shown != "-INF" && shown != "NAN") std::abort();
  }

  if (size >= 10) {
    long double value = 0;
    std::memcpy(&value, data, 10);
    const std::string shown = ormel::FloatToStr(value);
    if (shown != "NAN" && shown != "INF" && shown != "-INF") {
      const auto back = ormel::textToFloat(shown);
      if (!back || ormel::FloatToStr(*back) != shown) std::abort();
    }
  }
  return 0;
}
