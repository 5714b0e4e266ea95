// Loads arbitrary bytes as a settings file. Property: whatever tree loads is written back as
// text that loads to the same tree, and that text is stable under a second save.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/xmlnode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::unique_ptr<ormel::TXMLNode> root = ormel::LoadXMLFromBuffer(input);
  if (!root) return 0;
  const std::string code = root->GetCode();
  const std::unique_ptr<ormel::TXMLNode> back = ormel::LoadXMLFromBuffer(code);
  if (!back || !ormel::sameTree(*root, *back) || back->GetCode() != code) std::abort();
  return 0;
}
