#include "config/hotkeys.h"

#include <memory>

#include "config/shortcut_text.h"
#include "config/store_support.h"
#include "config/xmlnode.h"

namespace ormel {

void TOrmelHotKeys::Save(const std::string& fileName, const ActionList& actions) const {
  TXMLNode root("hotkeys");
  for (int i = 0; i < actions.count(); ++i) {
    if (actions.category(i) != "ormelCuts") continue;
    TXMLNode& child = root.AddChild("hotkey");
    child.AddField("name", actions.caption(i));
    child.AddField("hotkey", shortCutToText(actions.shortCut(i)));
  }
  root.SaveToFile(fileName);
}

void TOrmelHotKeys::Load(const std::string& fileName, ActionList& actions, LoadNotes* notes) const {
  const std::unique_ptr<TXMLNode> root = loadStoreFile(fileName, "hotkeys", notes);
  if (!root) return;
  for (int i = 0; i < root->GetChildCount(); ++i) {
    const TXMLNode& child = *root->GetChild(i);
    if (child.Name() != "hotkey") {
      addNote(notes, "<" + abbreviated(child.Name(), kQuotedTextLimit) + "> means nothing here");
      continue;
    }
    noteWhatIsNotRead(child, {"name", "hotkey"}, notes);
    const std::string caption = child.GetFieldValue("name").toText();
    const std::string keyText = child.GetFieldValue("hotkey").toText();
    const ShortCut code = textToShortCut(keyText);
    if (code == 0 && !trimmed(keyText).empty()) {
      addNote(notes, "\"" + abbreviated(keyText, kQuotedTextLimit) + "\" names no key");
    }
    bool kept = false;
    for (int a = 0; a < actions.count(); ++a) {
      if (actions.caption(a) != caption) continue;
      actions.setShortCut(a, code);
      kept = kept || actions.category(a) == "ormelCuts";
    }
    if (!kept) addNote(notes, "no command has the name \"" + abbreviated(caption, kQuotedTextLimit) + "\"");
  }
}

}  // namespace ormel
