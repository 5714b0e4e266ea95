// Types arbitrary bytes into the scratch pad line by line, pressing Enter after each, through the
// whole line evaluation. Afterwards the pad's positions must agree with its lines, and its content
// must survive a save and load. Long and deep lines come from short recipes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "long_line_recipe.h"
#include "scratchpad/content_file.h"
#include "scratchpad/headless_scratch_pad.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ormel;
  const std::string text = fuzzing::expandRecipe(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string_view input = text;
  HeadlessScratchPad scratchPad;
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    scratchPad.enterLine(input.substr(0, end));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  }
  const MemoryTextControl& pad = scratchPad.pad;
  int position = 0;
  for (int n = 0; n < pad.lineCount(); ++n) {
    if (pad.lineStart(n) != position) std::abort();
    position += pad.lineLength(n) + 1;
  }
  if (position - 1 != pad.textLength()) std::abort();
  const StyledText content = pad.content();
  const std::optional<StyledText> back = readRtf(writeRtf(content), CharStyle{});
  if (!back || !sameCharacters(*back, content)) std::abort();
  return 0;
}
