// Splits arbitrary bytes as an address. Property: nothing is lost or invented; the host, the port
// text and the object name put together give back the address without its scheme, and the
// port is a valid one or 0.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/HTTPGet.h"
#include "base/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const ormel::ParsedURL parsed = ormel::ParseURL(input);
  std::string_view rest = input;
  if (rest.size() >= 7 && ormel::sameTextAscii(rest.substr(0, 7), "http://")) rest.remove_prefix(7);
  if (parsed.Port < 0 || parsed.Port > 65535) std::abort();
  if (rest.find('/') == std::string_view::npos) {
    if (!parsed.HostName.empty() || parsed.ObjectName != rest || parsed.Port != 80) std::abort();
    return 0;
  }
  if (parsed.ObjectName.empty() || parsed.ObjectName.front() != '/') std::abort();
  if (rest.substr(rest.size() - parsed.ObjectName.size()) != parsed.ObjectName) std::abort();
  const std::string_view host = rest.substr(0, rest.size() - parsed.ObjectName.size());
  if (host.find('/') != std::string_view::npos || !host.starts_with(parsed.HostName)) std::abort();
  const std::string_view portText = host.substr(parsed.HostName.size());
  if (portText.empty() || portText == ":") {
    if (parsed.Port != 80) std::abort();
  } else if (portText.front() != ':') {
    std::abort();
  } else if (parsed.Port != 0) {
    // A port given is read as a whole decimal number (leading zeros allowed).
    long value = 0;
    for (const char digit : portText.substr(1)) {
      if (digit < '0' || digit > '9') std::abort();
      value = std::min(value * 10 + (digit - '0'), 100000L);
    }
    if (value != parsed.Port) std::abort();
  }
  return 0;
}
