#include "config/store_support.h"

#include <algorithm>
#include <cerrno>

#include "base/atomic_file.h"

namespace ormel {

void noteWhatIsNotRead(const TXMLNode& entry, std::initializer_list<std::string_view> known,
                       LoadNotes* notes) {
  const std::vector<TXMLNodeField>& fields = entry.Fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string& name = fields[i].Name;
    const std::string shown = "<" + abbreviated(entry.Name(), kQuotedTextLimit) + "> field \"" +
                              abbreviated(name, kQuotedTextLimit) + "\"";
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      addNote(notes, shown + " is not one of its own");
    } else if (entry.FindFieldByName(name) != static_cast<int>(i)) {
      addNote(notes, shown + " is given more than once");
    }
  }
  if (entry.GetChildCount() > 0) {
    addNote(notes, "<" + abbreviated(entry.Name(), kQuotedTextLimit) + "> holds <" +
                       abbreviated(entry.GetChild(0)->Name(), kQuotedTextLimit) +
                       ">, which means nothing there");
  }
}

std::unique_ptr<TXMLNode> loadStoreFile(const std::string& fileName, std::string_view rootName,
                                        LoadNotes* notes) {
  std::string bytes;
  const FileResult read = readWholeFile(fileName, bytes);
  if (!read.ok) {
    if (read.error != ENOENT) addNote(notes, "it cannot be read (" + read.reason + ")");
    return nullptr;
  }
  std::string flaw;
  std::unique_ptr<TXMLNode> root = LoadXMLFromBuffer(bytes, &flaw);
  if (!root) {
    if (!trimmed(bytes).empty()) addNote(notes, "it holds no <" + std::string(rootName) + "> element");
  } else if (lowerCaseAscii(root->Name()) != rootName) {
    addNote(notes, "its first element is <" + abbreviated(root->Name(), kQuotedTextLimit) + ">, not <" +
                       std::string(rootName) + ">");
    root.reset();
  } else if (!flaw.empty()) {
    // What the tolerant reading made of the rest may not be what the file meant.
    addNote(notes, "it is not read whole: " + flaw);
  }
  return root;
}

}  // namespace ormel
