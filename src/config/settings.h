#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/store_support.h"
#include "config/window_port.h"

namespace ormel {

/// One on/off switch.
struct TOrmelSetting {
  std::string name;
  std::string caption;
  bool defaultValue = false;
  bool value = false;
  std::string description;
};

/// bounds moved and, where they are larger, shrunk so that the window lies inside area.
[[nodiscard]] WindowBounds keptInside(WindowBounds bounds, const WindowBounds& area);

/// The three switches, and the main window's bounds and the scratch pad's font size between
/// runs, in settings.xml. Keys are matched without regard to letter case (A-Z only).
class TOrmelSettings {
 public:
  /// Constructed empty; the window and scratch pad must outlive the store.
  TOrmelSettings(MainWindowFrame& window, ScratchPadLook& scratchPad);

  /// Builds the table with its defaults; when the file does not exist, writes it (placing the
  /// window for a first run). Throws EFCreateError when that write fails.
  void Init(const std::string& fileName);
  /// Builds the table with its defaults and writes nothing.
  void InitTable();
  /// Overlays the switches, "lastactive", the window's bounds (kept on the screen) and the font
  /// size from the file. A missing or foreign file changes nothing; a value that does not convert
  /// is skipped. What is skipped, and elements that mean nothing here, go to notes.
  void Load(const std::string& fileName, LoadNotes* notes = nullptr);
  /// Writes every switch, "lastactive", the window's current bounds (kept on the screen) and the
  /// font size. Throws EFCreateError naming the file and the reason; the old file is then
  /// untouched.
  void Save(const std::string& fileName);
  /// Pushes "AlwaysOnTop" onto the main window.
  void ApplySettings();

  /// The switches, typed: the window stays above others; the scratch pad is kept in
  /// workspace.dat between runs; a second start brings the running window forward.
  [[nodiscard]] bool alwaysOnTop() const;
  [[nodiscard]] bool saveWorkspace() const;
  [[nodiscard]] bool oneInstance() const;

  /// out.name becomes "not found" unless an entry matches key; then out is a copy of it.
  void getSetting(std::string_view key, TOrmelSetting& out) const;
  /// A copy of the entry at index; out.name is "not found" for an index outside 0..count-1.
  void getSetting(int index, TOrmelSetting& out) const;
  /// The entry's value; false for an index outside 0..count-1.
  [[nodiscard]] bool getSettingValue(int index) const;
  /// The matching entry's value; false when no entry matches.
  [[nodiscard]] bool getSettingValue(std::string_view key) const;
  /// The matching entry's index, or -1.
  [[nodiscard]] int getSettingIndex(std::string_view key) const;
  /// Sets the entry's value; an index outside 0..count-1 is ignored.
  void setSettingValue(int index, bool value);

  [[nodiscard]] int count() const { return static_cast<int>(m_entries.size()); }
  [[nodiscard]] const std::vector<TOrmelSetting>& entries() const { return m_entries; }
  [[nodiscard]] const std::string& lastActive() const { return m_lastActive; }

 private:
  MainWindowFrame& m_window;
  ScratchPadLook& m_scratchPad;
  std::vector<TOrmelSetting> m_entries;
  std::string m_lastActive;
};

}  // namespace ormel
