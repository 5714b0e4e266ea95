#include "config/prefs.h"

#include <cstdint>
#include <limits>
#include <memory>

#include "base/atomic_file.h"
#include "config/store_support.h"
#include "config/xmlnode.h"

namespace ormel {

namespace {

// Colours, cursor placement and decimal places are read as integers; a value that cannot be
// one would only fail later, in the middle of a calculation.
bool acceptable(const TOrmelPref& entry, const SettingValue& candidate) {
  if (entry.defaultValue.kind() == SettingValue::Kind::Text) return true;
  const std::optional<std::int64_t> number = candidate.toInteger();
  return number && *number >= std::numeric_limits<std::int32_t>::min() &&
         *number <= std::numeric_limits<std::int32_t>::max();
}

Color colorOf(const SettingValue& value) { return static_cast<Color>(value.toInteger().value_or(0)); }

}  // namespace

TOrmelPrefs::TOrmelPrefs(ScratchPadLook& scratchPad, MessageBox& messages)
    : m_scratchPad(scratchPad), m_messages(messages) {}

void TOrmelPrefs::Init(const std::string& fileName) {
  InitTable();
  if (!fileExists(fileName)) Save(fileName);
}

void TOrmelPrefs::InitTable() {
  const auto pref = [](std::string name, std::string caption, SettingValue value, std::string description) {
    return TOrmelPref{std::move(name), std::move(caption), value, {}, value, {}, std::move(description)};
  };
  m_entries = {
      pref("RegExpColor", "Regular Expression Color", 16777215,
           "Set the color of the regular expression text."),
      pref("AnswerColor", "Answer Color", 65535, "Set the color of the answer text."),
      pref("FunctionColor", "Function Color", 255, "Set the default color of defined functions."),
      pref("BackgroundColor", "Background Color", 0, "Set the default color of the background."),
      pref("SelectedFont", "Selected Font", "Verdana", "Set the default font that ormelCalc will use."),
      pref("CursorPlacement", "Cursor Placement", 1, "Set the placement of the cursor after a calculation."),
      pref("DecimalPlaces", "Decimal Places", std::uint8_t{3},
           "Set the maximum number of decimal places to show in answers."),
      pref("DecimalSeparator", "Decimal Separator", ".",
           "The symbol used to separate decimal numbers (traditionally \".\")"),
  };
}

void TOrmelPrefs::Load(const std::string& fileName, LoadNotes* notes) {
  const std::unique_ptr<TXMLNode> root = loadStoreFile(fileName, "preferences", notes);
  if (!root) return;
  for (int i = 0; i < root->GetChildCount(); ++i) {
    const TXMLNode& child = *root->GetChild(i);
    const int index = findEntry(child.Name());
    if (index < 0) {
      addNote(notes, "<" + abbreviated(child.Name(), kQuotedTextLimit) + "> means nothing here");
      continue;
    }
    TOrmelPref& entry = m_entries[static_cast<std::size_t>(index)];
    for (const TXMLNodeField& field : child.Fields()) {
      if (field.Name != "value" && field.Name != "value2") {
        addNote(notes, "<" + child.Name() + "> field \"" + abbreviated(field.Name, kQuotedTextLimit) +
                           "\" is not one of its own");
      }
    }
    if (child.FindFieldByName("value") >= 0) {
      SettingValue value = child.GetFieldValue("value");
      if (acceptable(entry, value)) {
        entry.value = std::move(value);
      } else {
        addNote(notes,
                entry.name + " \"" + abbreviated(value.toText(), kQuotedTextLimit) + "\" is no whole number");
      }
    }
    if (child.FindFieldByName("value2") >= 0) entry.value2 = child.GetFieldValue("value2");
  }
}

void TOrmelPrefs::Save(const std::string& fileName) const {
  TXMLNode root("preferences");
  for (const TOrmelPref& entry : m_entries) {
    TXMLNode& child = root.AddChild(entry.name);
    child.AddField("value", entry.value);
    child.AddField("value2", entry.value2);
  }
  root.SaveToFile(fileName);
}

void TOrmelPrefs::ApplyPrefs() {
  m_scratchPad.setBackgroundColor(colorOf(getSettingValue("BackgroundColor")));
  m_scratchPad.setDefaultTextColor(colorOf(getSettingValue("RegExpColor")));
  m_scratchPad.setFontFace(getSettingValue("SelectedFont").toText());
}

void TOrmelPrefs::getSetting(std::string_view key, TOrmelPref& out) const {
  out.name = kNotFound;
  if (const int index = findEntry(key); index >= 0) out = m_entries[static_cast<std::size_t>(index)];
}

SettingValue TOrmelPrefs::getSettingValue(std::string_view key) const {
  const int index = findEntry(key);
  return index < 0 ? SettingValue(std::string()) : m_entries[static_cast<std::size_t>(index)].value;
}

int TOrmelPrefs::getSettingIndex(std::string_view key) const {
  const int index = findEntry(key);
  if (index < 0) m_messages.showMessage("invalid setting!");
  return index;
}

void TOrmelPrefs::setSettingValue(std::string_view key, const SettingValue& value) {
  if (const int index = findEntry(key); index >= 0) m_entries[static_cast<std::size_t>(index)].value = value;
}

int TOrmelPrefs::findEntry(std::string_view key) const { return findEntryByKey(m_entries, key); }

}  // namespace ormel
