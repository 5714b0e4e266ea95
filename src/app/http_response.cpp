#include "app/http_response.h"

#include <charconv>

#include "base/text.h"

namespace ormel {

namespace {

constexpr std::string_view kContentLength = "content-length:";

bool startsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && sameTextAscii(text.substr(0, prefix.size()), prefix);
}

}  // namespace

void ResponseHeaders::addLine(std::string_view line) {
  if (startsWithText(line, "HTTP/")) {
    *this = ResponseHeaders{};
    return;
  }
  if (!startsWithText(line, kContentLength)) return;
  m_hasContentLength = true;
  const std::string_view value = trimmed(line.substr(kContentLength.size()));
  std::int64_t length = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
  m_contentLengthValid = error == std::errc{} && end == value.data() + value.size() && length >= 0 &&
                         !value.empty() && value.front() != '-' && value.front() != '+';
  m_contentLength = m_contentLengthValid ? length : 0;
}

}  // namespace ormel
