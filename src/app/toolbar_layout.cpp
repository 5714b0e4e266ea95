#include "app/toolbar_layout.h"

#include <climits>

#include "base/setting_value.h"
#include "base/text.h"
#include "config/ini_file.h"

namespace ormel {
namespace {

constexpr const char* kNumberKeys[] = {"Rev",       "Visible",  "DockRow",     "DockPos",
                                       "FloatLeft", "FloatTop", "FloatRightX", "DisplayMode"};

int readInt(const IniFile& ini, const std::string& section, const char* key, int fallback) {
  const long long value = ini.readInteger(section, key, fallback);
  return value < INT_MIN || value > INT_MAX ? fallback : static_cast<int>(value);
}

bool isNumberKey(std::string_view key) {
  for (const char* known : kNumberKeys) {
    if (sameTextAscii(key, known)) return true;
  }
  return false;
}

/// What makes the file no layout the program wrote: lines it cannot read, and numbers that are
/// none. Writing the layout over such a file would lose what it meant.
void noteUnreadable(const IniFile& ini, LoadNotes& notes) {
  const IniFile::Ignored& ignored = ini.ignored();
  if (ignored.count > 0) {
    std::string note = "line " + std::to_string(ignored.firstLine) + " is neither a section nor a key (\"" +
                       abbreviated(ignored.firstText, kQuotedTextLimit) + "\")";
    if (ignored.count > 1) note += ", nor are " + std::to_string(ignored.count - 1) + " more lines";
    notes.push_back(std::move(note));
  }
  for (const IniFile::Section& section : ini.sections()) {
    for (const IniFile::Entry& entry : section.entries) {
      if (entry.value.empty() || !isNumberKey(entry.key)) continue;
      const auto value = SettingValue(entry.value).toInteger();
      if (value && *value >= INT_MIN && *value <= INT_MAX) continue;
      notes.push_back("[" + abbreviated(section.name, kQuotedTextLimit) + "] " +
                      abbreviated(entry.key, kQuotedTextLimit) + " \"" +
                      abbreviated(entry.value, kQuotedTextLimit) + "\" is no whole number");
    }
  }
}

}  // namespace

void writeToolbarLayout(const std::string& fileName, const std::vector<ToolbarPlace>& places) {
  IniFile ini;
  for (const ToolbarPlace& place : places) {
    ini.writeInteger(place.name, "Rev", kToolbarLayoutRev);
    ini.writeInteger(place.name, "Visible", place.visible ? 1 : 0);
    ini.writeString(place.name, "DockedTo", place.dockedTo);
    ini.writeString(place.name, "LastDock", place.lastDock);
    ini.writeInteger(place.name, "DockRow", place.dockRow);
    ini.writeInteger(place.name, "DockPos", place.dockPos);
    ini.writeInteger(place.name, "FloatLeft", place.floatLeft);
    ini.writeInteger(place.name, "FloatTop", place.floatTop);
    ini.writeInteger(place.name, "FloatRightX", place.floatRightX);
    ini.writeInteger(place.name, "DisplayMode", place.displayMode);
  }
  ini.SaveToFile(fileName);
}

void applyToolbarLayout(const std::string& fileName, AppWindow& window, LoadNotes* notes) {
  IniFile ini;
  if (!ini.LoadFromFile(fileName)) return;
  if (notes != nullptr) noteUnreadable(ini, *notes);
  for (ToolbarPlace place : window.toolbarPlaces()) {
    const std::string& section = place.name;
    if (ini.readString(section, "Rev", "") != std::to_string(kToolbarLayoutRev)) continue;
    const std::string visible = ini.readString(section, "Visible", "");
    if (!visible.empty()) window.setToolbarVisible(section, readInt(ini, section, "Visible", 1) != 0);
    place.dockedTo = ini.readString(section, "DockedTo", "");
    if (place.dockedTo.empty()) continue;
    place.lastDock = ini.readString(section, "LastDock", place.lastDock);
    place.dockRow = readInt(ini, section, "DockRow", place.dockRow);
    place.dockPos = readInt(ini, section, "DockPos", place.dockPos);
    place.floatLeft = readInt(ini, section, "FloatLeft", place.floatLeft);
    place.floatTop = readInt(ini, section, "FloatTop", place.floatTop);
    place.floatRightX = readInt(ini, section, "FloatRightX", place.floatRightX);
    place.displayMode = readInt(ini, section, "DisplayMode", place.displayMode);
    window.placeToolbar(place);
  }
}

}  // namespace ormel
