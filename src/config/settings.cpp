#include "config/settings.h"

#include <limits>
#include <memory>
#include <optional>

#include "base/atomic_file.h"
#include "config/store_support.h"
#include "config/xmlnode.h"

namespace ormel {

namespace {

// The field as an int, or nothing when it is missing or not a whole number in range.
std::optional<int> intField(const TXMLNode& node, std::string_view name) {
  if (node.FindFieldByName(name) < 0) return std::nullopt;
  const std::optional<std::int64_t> value = node.GetFieldValue(name).toInteger();
  if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

}  // namespace

namespace {
constexpr std::string_view kAlwaysOnTop = "AlwaysOnTop";
constexpr std::string_view kSaveWorkspace = "SaveWorkspace";
constexpr std::string_view kOneInstance = "OneInstance";
}  // namespace

TOrmelSettings::TOrmelSettings(MainWindowFrame& window, ScratchPadLook& scratchPad)
    : m_window(window), m_scratchPad(scratchPad) {}

void TOrmelSettings::Init(const std::string& fileName) {
  m_lastActive.clear();
  m_entries = {
      {std::string(kAlwaysOnTop), "Always On Top", false, false,
       "Set to true, ormelCalc will always appear on top of all other windows."},
      {std::string(kSaveWorkspace), "Save Workspace", true, true,
       "When true, ormelCalc will save the workspace session to sesssion."},
      {std::string(kOneInstance), "One Instance", true, true,
       "If this switch is set to true, ormelCalc will be limited to one instance."},
  };
  if (!fileExists(fileName)) Save(fileName);
}

void TOrmelSettings::Load(const std::string& fileName) {
  const std::unique_ptr<TXMLNode> root = loadStoreFile(fileName, "settings");
  if (!root) return;
  for (int i = 0; i < root->GetChildCount(); ++i) {
    const TXMLNode& child = *root->GetChild(i);
    const int entry = getSettingIndex(child.Name());
    if (entry >= 0) {
      if (child.FindFieldByName("value") >= 0) {
        if (const std::optional<bool> value = child.GetFieldValue("value").toBoolean()) {
          m_entries[static_cast<std::size_t>(entry)].value = *value;
        }
      }
    } else if (child.Name() == "lastactive" && child.FindFieldByName("value") >= 0) {
      m_lastActive = child.GetFieldValue("value").toText();
    }
    if (child.Name() == "screenpos") {
      WindowBounds bounds = m_window.bounds();
      if (const auto left = intField(child, "left")) bounds.left = *left;
      if (const auto top = intField(child, "top")) bounds.top = *top;
      if (const auto width = intField(child, "width")) bounds.width = *width;
      if (const auto height = intField(child, "height")) bounds.height = *height;
      m_window.setBounds(bounds);
    }
    if (child.Name() == "fonts") {
      if (const auto size = intField(child, "fontsize")) m_scratchPad.setFontSize(*size);
    }
  }
}

void TOrmelSettings::Save(const std::string& fileName) {
  TXMLNode root("settings");
  for (const TOrmelSetting& entry : m_entries) root.AddChild(entry.name).AddField("value", entry.value);
  root.AddChild("lastactive").AddField("value", m_lastActive);
  if (!fileExists(fileName)) {
    const ScreenSize screen = m_window.screenSize();
    m_window.setBounds({screen.width / 2 - 150, screen.height / 2 - 150, 350, 300});
  }
  const WindowBounds bounds = m_window.bounds();
  TXMLNode& screenPos = root.AddChild("screenpos");
  screenPos.AddField("left", bounds.left);
  screenPos.AddField("top", bounds.top);
  screenPos.AddField("width", bounds.width);
  screenPos.AddField("height", bounds.height);
  root.AddChild("fonts").AddField("fontsize", m_scratchPad.fontSize());
  root.SaveToFile(fileName);
}

void TOrmelSettings::ApplySettings() { m_window.setAlwaysOnTop(alwaysOnTop()); }

bool TOrmelSettings::alwaysOnTop() const { return getSettingValue(kAlwaysOnTop); }

bool TOrmelSettings::saveWorkspace() const { return getSettingValue(kSaveWorkspace); }

bool TOrmelSettings::oneInstance() const { return getSettingValue(kOneInstance); }

void TOrmelSettings::getSetting(std::string_view key, TOrmelSetting& out) const {
  out.name = kNotFound;
  if (const int index = getSettingIndex(key); index >= 0) out = m_entries[static_cast<std::size_t>(index)];
}

void TOrmelSettings::getSetting(int index, TOrmelSetting& out) const {
  if (index < 0 || index >= count()) {
    out.name = kNotFound;
    return;
  }
  out = m_entries[static_cast<std::size_t>(index)];
}

bool TOrmelSettings::getSettingValue(int index) const {
  return index >= 0 && index < count() && m_entries[static_cast<std::size_t>(index)].value;
}

bool TOrmelSettings::getSettingValue(std::string_view key) const {
  return getSettingValue(getSettingIndex(key));
}

int TOrmelSettings::getSettingIndex(std::string_view key) const { return findEntryByKey(m_entries, key); }

void TOrmelSettings::setSettingValue(int index, bool value) {
  if (index >= 0 && index < count()) m_entries[static_cast<std::size_t>(index)].value = value;
}

}  // namespace ormel
