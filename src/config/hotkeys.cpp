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

void TOrmelHotKeys::Load(const std::string& fileName, ActionList& actions) const {
  const std::unique_ptr<TXMLNode> root = loadStoreFile(fileName, "hotkeys");
  if (!root) return;
  for (int i = 0; i < root->GetChildCount(); ++i) {
    const TXMLNode& child = *root->GetChild(i);
    if (child.Name() != "hotkey") continue;
    const std::string caption = child.GetFieldValue("name").toText();
    const ShortCut code = textToShortCut(child.GetFieldValue("hotkey").toText());
    for (int a = 0; a < actions.count(); ++a) {
      if (actions.caption(a) == caption) actions.setShortCut(a, code);
    }
  }
}

}  // namespace ormel
