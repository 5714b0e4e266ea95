// Feeds arbitrary bytes, split at line breaks, to the response header reader as a server's
// reply. Properties: an announced length is never negative; a valid length written back as a
// header line reads back as the same value; a status line forgets the last response's length.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/http_response.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  ormel::ResponseHeaders headers;
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    headers.addLine(input.substr(0, end));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    if (headers.contentLength() < 0) std::abort();
    if (!headers.contentLengthValid() && headers.contentLength() != 0) std::abort();
    if (headers.hasContentLength() && headers.contentLengthValid()) {
      ormel::ResponseHeaders back;
      back.addLine("content-LENGTH:\t" + std::to_string(headers.contentLength()) + " \r");
      if (!back.hasContentLength() || !back.contentLengthValid() ||
          back.contentLength() != headers.contentLength()) {
        std::abort();
      }
      back.addLine("HTTP/1.0 200 OK");
      if (back.hasContentLength() || back.contentLength() != 0) std::abort();
    }
  }
  return 0;
}
