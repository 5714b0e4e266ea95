#pragma once

#include <cstddef>
#include <initializer_list>
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

/// What a store could not take from its file, one text per thing skipped, saying what and why.
/// The caller decides what follows (the file is kept aside before it is written over).
using LoadNotes = std::vector<std::string>;

/// The longest piece of a file's text a note quotes.
inline constexpr std::size_t kQuotedTextLimit = 60;

/// Appends note to notes when there are notes to keep.
inline void addNote(LoadNotes* notes, std::string note) {
  if (notes != nullptr) notes->push_back(std::move(note));
}

/// Notes what of an entry its store does not read, which the next save would drop: a field named
/// none of known, a field given twice (the first is read), and elements inside the entry.
void noteWhatIsNotRead(const TXMLNode& entry, std::initializer_list<std::string_view> known,
                       LoadNotes* notes);

/// The tree of a store's file, or nullptr when the file is missing or unusable or its root,
/// lower-cased, is not rootName: such a file is ignored as a whole. A file that exists but
/// gives no such root is noted, unless it holds nothing but blanks; so is one that was not read
/// whole (LoadXMLFromBuffer's flaw), whose tree is still handed back.
[[nodiscard]] std::unique_ptr<TXMLNode> loadStoreFile(const std::string& fileName, std::string_view rootName,
                                                      LoadNotes* notes = nullptr);

}  // namespace ormel
