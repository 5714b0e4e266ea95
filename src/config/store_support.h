#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "config/xmlnode.h"

namespace ormel {

/// The name a store's lookup of an unknown key hands back.
inline constexpr std::string_view kNotFound = "not found";

/// Index of the first entry whose name equals key after both are lower-cased (A-Z only), or -1.
template <typename Entry>
[[nodiscard]] int findEntryByKey(const std::vector<Entry>& entries, std::string_view key) {
  const std::string wanted = lowerCaseAscii(key);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (lowerCaseAscii(entries[i].name) == wanted) return static_cast<int>(i);
  }
  return -1;
}

/// The tree of a store's file, or nullptr when the file is unusable or its root, lower-cased, is
/// not rootName: such a file is ignored as a whole.
[[nodiscard]] inline std::unique_ptr<TXMLNode> loadStoreFile(const std::string& fileName,
                                                             std::string_view rootName) {
  std::unique_ptr<TXMLNode> root = LoadXMLFromFile(fileName);
  if (root && lowerCaseAscii(root->Name()) != rootName) root.reset();
  return root;
}

}  // namespace ormel
