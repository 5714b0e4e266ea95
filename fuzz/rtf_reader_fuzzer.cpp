// Reads arbitrary bytes as a content file; whatever the reader makes of them, our own writer's
// RTF of it must read back to the same characters, colours and bold states.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "scratchpad/content_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ormel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  constexpr CharStyle kDefault{0x00FF00, true};
  (void)readPlainText(bytes, kDefault);
  const std::optional<StyledText> content = readRtf(bytes, kDefault);
  if (!content) return 0;
  const std::optional<StyledText> back = readRtf(writeRtf(*content), kDefault);
  if (!back || !sameCharacters(*back, *content)) std::abort();
  return 0;
}
