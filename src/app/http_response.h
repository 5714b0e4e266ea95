#pragma once

#include <cstdint>
#include <string_view>

namespace ormel {

/// What a download needs to know of one response's header block, fed line by line as the
/// server sends it. A status line ("HTTP/...") starts a new response (a redirect or an interim
/// "100 Continue" has a header block of its own).
class ResponseHeaders {
 public:
  /// Takes one header line, with or without its line break.
  void addLine(std::string_view line);

  /// True when the current response carried a Content-Length header.
  [[nodiscard]] bool hasContentLength() const { return m_hasContentLength; }
  /// False when a Content-Length header was not a decimal number that fits 63 bits.
  [[nodiscard]] bool contentLengthValid() const { return m_contentLengthValid; }
  /// The announced length; 0 when none was announced or it was invalid.
  [[nodiscard]] std::int64_t contentLength() const { return m_contentLength; }

 private:
  bool m_hasContentLength = false;
  bool m_contentLengthValid = true;
  std::int64_t m_contentLength = 0;
};

}  // namespace ormel
