#include "config/store_support.h"

#include <cerrno>

#include "base/atomic_file.h"

namespace ormel {

std::unique_ptr<TXMLNode> loadStoreFile(const std::string& fileName, std::string_view rootName,
                                        LoadNotes* notes) {
  std::string bytes;
  const FileResult read = readWholeFile(fileName, bytes);
  if (!read.ok) {
    if (read.error != ENOENT) addNote(notes, "it cannot be read (" + read.reason + ")");
    return nullptr;
  }
  std::unique_ptr<TXMLNode> root = LoadXMLFromBuffer(bytes);
  if (!root) {
    if (!trimmed(bytes).empty()) addNote(notes, "it holds no <" + std::string(rootName) + "> element");
  } else if (lowerCaseAscii(root->Name()) != rootName) {
    addNote(notes, "its first element is <" + abbreviated(root->Name(), kQuotedTextLimit) + ">, not <" +
                       std::string(rootName) + ">");
    root.reset();
  }
  return root;
}

}  // namespace ormel
