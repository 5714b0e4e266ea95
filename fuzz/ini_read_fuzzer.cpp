// Reads arbitrary bytes as an INI file. Property: the document written back parses to the same
// sections, keys and values, and every value reads back through the profile rules.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const ormel::IniFile file(input);
  const ormel::IniFile back(file.text());
  if (back.sections() != file.sections()) std::abort();
  for (const ormel::IniFile::Section& section : file.sections()) {
    for (const ormel::IniFile::Entry& entry : section.entries) {
      const std::string value = back.readString(section.name, entry.key, "");
      if (value.size() > ormel::IniFile::kMaxValueLength) std::abort();
    }
  }
  return 0;
}
