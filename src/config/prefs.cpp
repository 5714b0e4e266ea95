#include "config/prefs.h"

#include <algorithm>
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

std::string_view keyOf(ColorPref which) { return kColorPrefs[static_cast<std::size_t>(which) - 1].key; }

constexpr std::string_view kSelectedFont = "SelectedFont";
constexpr std::string_view kCursorPlacement = "CursorPlacement";
constexpr std::string_view kDecimalPlaces = "DecimalPlaces";
constexpr std::string_view kDecimalSeparator = "DecimalSeparator";

}  // namespace

TOrmelPrefs::TOrmelPrefs(ScratchPadLook& scratchPad, MessageBox& messages)
    : m_scratchPad(scratchPad), m_messages(messages) {}

void TOrmelPrefs::Init(const std::string& fileName) {
  InitTable();
  if (!fileExists(fileName)) Save(fileName);
}

void TOrmelPrefs::InitTable() {
  const auto pref = [](std::string_view name, std::string_view caption, SettingValue value,
                       std::string_view description) {
    return TOrmelPref{std::string(name),       std::string(caption), value, {}, value, {},
                      std::string(description)};
  };
  m_entries.clear();
  for (const ColorPrefEntry& entry : kColorPrefs) {
    m_entries.push_back(pref(entry.key, entry.caption, entry.defaultColor, entry.description));
  }
  m_entries.push_back(
      pref(kSelectedFont, "Selected Font", "Verdana", "Set the default font that ormelCalc will use."));
  m_entries.push_back(
      pref(kCursorPlacement, "Cursor Placement", 1, "Set the placement of the cursor after a calculation."));
  m_entries.push_back(pref(kDecimalPlaces, "Decimal Places", std::uint8_t{3},
                           "Set the maximum number of decimal places to show in answers."));
  m_entries.push_back(pref(kDecimalSeparator, "Decimal Separator", ".",
                           "The symbol used to separate decimal numbers (traditionally \".\")"));
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
    noteWhatIsNotRead(child, {"value", "value2"}, notes);
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
  m_scratchPad.setBackgroundColor(color(ColorPref::Background));
  m_scratchPad.setDefaultTextColor(color(ColorPref::RegExp));
  m_scratchPad.setFontFace(selectedFont());
}

Color TOrmelPrefs::color(ColorPref which) const { return colorOf(getSettingValue(keyOf(which))); }

Color TOrmelPrefs::defaultColor(ColorPref which) const {
  const int index = findEntry(keyOf(which));
  return index < 0 ? 0 : colorOf(m_entries[static_cast<std::size_t>(index)].defaultValue);
}

void TOrmelPrefs::setColor(ColorPref which, Color color) { setSettingValue(keyOf(which), color); }

std::string TOrmelPrefs::selectedFont() const { return getSettingValue(kSelectedFont).toText(); }

void TOrmelPrefs::setSelectedFont(const std::string& face) { setSettingValue(kSelectedFont, face); }

int TOrmelPrefs::cursorPlacement() const { return wholeNumber(kCursorPlacement); }

void TOrmelPrefs::setCursorPlacement(int placement) { setSettingValue(kCursorPlacement, placement); }

int TOrmelPrefs::decimalPlaces() const { return wholeNumber(kDecimalPlaces); }

void TOrmelPrefs::setDecimalPlaces(int places) { setSettingValue(kDecimalPlaces, places); }

std::string TOrmelPrefs::decimalSeparator() const { return getSettingValue(kDecimalSeparator).toText(); }

void TOrmelPrefs::setDecimalSeparator(const std::string& separator) {
  setSettingValue(kDecimalSeparator, separator);
}

int TOrmelPrefs::wholeNumber(std::string_view key) const {
  // The file may hold any 32-bit value; beyond 2^20 places or placements mean nothing more.
  return static_cast<int>(
      std::clamp<std::int64_t>(getSettingValue(key).toInteger().value_or(0), -1, 1 << 20));
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
