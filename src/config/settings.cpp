#include "config/settings.h"

#include <algorithm>
#include <iterator>
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

const std::initializer_list<std::string_view> kSwitchFields = {"value"};
const std::initializer_list<std::string_view> kScreenPosFields = {"left", "top", "width", "height"};
const std::initializer_list<std::string_view> kFontFields = {"fontsize"};

}  // namespace

namespace {
constexpr std::string_view kAlwaysOnTop = "AlwaysOnTop";
constexpr std::string_view kSaveWorkspace = "SaveWorkspace";
constexpr std::string_view kOneInstance = "OneInstance";
}  // namespace

WindowBounds keptInside(WindowBounds bounds, const WindowBounds& area) {
  if (area.width <= 0 || area.height <= 0) return bounds;
  bounds.width = std::min(bounds.width, area.width);
  bounds.height = std::min(bounds.height, area.height);
  // Widths below 1 are left to the window, which keeps its own then.
  const int width = std::max(bounds.width, 1);
  const int height = std::max(bounds.height, 1);
  bounds.left = std::clamp(bounds.left, area.left, area.left + area.width - width);
  bounds.top = std::clamp(bounds.top, area.top, area.top + area.height - height);
  return bounds;
}

TOrmelSettings::TOrmelSettings(MainWindowFrame& window, ScratchPadLook& scratchPad)
    : m_window(window), m_scratchPad(scratchPad) {}

void TOrmelSettings::Init(const std::string& fileName) {
  InitTable();
  if (!fileExists(fileName)) Save(fileName);
}

void TOrmelSettings::InitTable() {
  m_lastActive.clear();
  m_entries = {
      {std::string(kAlwaysOnTop), "Always On Top", false, false,
       "Set to true, ormelCalc will always appear on top of all other windows."},
      {std::string(kSaveWorkspace), "Save Workspace", true, true,
       "When true, ormelCalc will save the workspace session to sesssion."},
      {std::string(kOneInstance), "One Instance", true, true,
       "If this switch is set to true, ormelCalc will be limited to one instance."},
  };
}

void TOrmelSettings::Load(const std::string& fileName, LoadNotes* notes) {
  const std::unique_ptr<TXMLNode> root = loadStoreFile(fileName, "settings", notes);
  if (!root) return;
  const auto readInt = [&](const TXMLNode& child, const char* name, int& target) {
    if (child.FindFieldByName(name) < 0) return false;
    if (const auto value = intField(child, name)) {
      target = *value;
      return true;
    }
    addNote(notes, "<" + child.Name() + "> " + name + " \"" +
                       abbreviated(child.GetFieldValue(name).toText(), kQuotedTextLimit) +
                       "\" is no whole number");
    return false;
  };
  for (int i = 0; i < root->GetChildCount(); ++i) {
    const TXMLNode& child = *root->GetChild(i);
    const int entry = getSettingIndex(child.Name());
    if (entry >= 0) {
      noteWhatIsNotRead(child, kSwitchFields, notes);
      if (child.FindFieldByName("value") >= 0) {
        if (const std::optional<bool> value = child.GetFieldValue("value").toBoolean()) {
          m_entries[static_cast<std::size_t>(entry)].value = *value;
        } else {
          addNote(notes, "switch " + m_entries[static_cast<std::size_t>(entry)].name + " \"" +
                             abbreviated(child.GetFieldValue("value").toText(), kQuotedTextLimit) +
                             "\" is neither True nor False");
        }
      }
    } else if (child.Name() == "lastactive") {
      noteWhatIsNotRead(child, kSwitchFields, notes);
      if (child.FindFieldByName("value") >= 0) m_lastActive = child.GetFieldValue("value").toText();
    } else if (child.Name() == "screenpos") {
      noteWhatIsNotRead(child, kScreenPosFields, notes);
      WindowBounds bounds = m_window.bounds();
      readInt(child, "left", bounds.left);
      readInt(child, "top", bounds.top);
      readInt(child, "width", bounds.width);
      readInt(child, "height", bounds.height);
      // A file from a larger screen, or a hand-made one, must not put the window out of reach.
      m_window.setBounds(keptInside(bounds, m_window.availableArea()));
    } else if (child.Name() == "fonts") {
      noteWhatIsNotRead(child, kFontFields, notes);
      if (int size = 0; readInt(child, "fontsize", size)) m_scratchPad.setFontSize(size);
    } else {
      addNote(notes, "<" + abbreviated(child.Name(), kQuotedTextLimit) + "> means nothing here");
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
  const WindowBounds bounds = keptInside(m_window.bounds(), m_window.availableArea());
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
