#include "scratchpad/answer_line.h"

#include <algorithm>

#include "base/unicode_text.h"

namespace ormel {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::size_t skipDigits(std::u16string_view text, std::size_t at) {
  while (at < text.size() && isDigit(text[at])) ++at;
  return at;
}

}  // namespace

int answerTextLength(std::u16string_view text, std::u16string_view separator) {
  std::size_t at = !text.empty() && text[0] == u'-' ? 1 : 0;
  const std::u16string_view unsignedPart = text.substr(at);
  if (unsignedPart.starts_with(u"INF")) return static_cast<int>(at + 3);
  if (at == 0 && unsignedPart.starts_with(u"NAN")) return 3;
  const std::size_t digits = skipDigits(text, at);
  if (digits == at) return 0;
  at = digits;
  // The answer may have been written with another separator than today's.
  if (!separator.empty() && text.substr(at).starts_with(separator)) {
    at = skipDigits(text, at + separator.size());
  } else if (at < text.size() && text[at] == u'.') {
    at = skipDigits(text, at + 1);
  }
  if (at < text.size() && text[at] == u'E') {
    std::size_t exponent = at + 1;
    if (exponent < text.size() && (text[exponent] == u'-' || text[exponent] == u'+')) ++exponent;
    const std::size_t end = skipDigits(text, exponent);
    if (end > exponent) at = end;
  }
  return static_cast<int>(at);
}

std::optional<AnswerLine> answerLineAt(const TextControl& pad, int n, Color answerColor,
                                       std::string_view separator) {
  const std::string text = pad.line(n);
  if (text.size() < 2 || text[0] != ' ') return std::nullopt;
  const std::u16string line = utf8ToUtf16(text);
  const std::u16string_view afterBlank = std::u16string_view(line).substr(1);
  int length = answerTextLength(afterBlank, utf8ToUtf16(separator));
  if (length == 0) return std::nullopt;
  const int start = pad.lineStart(n) + 1;
  int coloured = 0;
  while (coloured < length && pad.styleAt(start + coloured).color == answerColor) ++coloured;
  if (coloured > 0 && coloured < length) {
    // Typed text that happens to continue the number stays the user's.
    length =
        answerTextLength(afterBlank.substr(0, static_cast<std::size_t>(coloured)), utf8ToUtf16(separator));
    if (length == 0) return std::nullopt;
  }
  const bool alone = static_cast<std::size_t>(length) == afterBlank.size();
  if (coloured == 0 && !alone) return std::nullopt;
  return AnswerLine{utf16ToUtf8(afterBlank.substr(0, static_cast<std::size_t>(length))), length + 1, alone};
}

}  // namespace ormel
