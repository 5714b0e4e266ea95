#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_box_port.h"
#include "base/setting_value.h"
#include "config/store_support.h"
#include "config/window_port.h"

namespace ormel {

/// One preference. value's kind follows its source (text from the file, an integer or text
/// from the dialog): readers convert it.
struct TOrmelPref {
  std::string name;
  std::string caption;
  SettingValue defaultValue;
  SettingValue defaultValue2;
  SettingValue value;
  /// Carried from the file's "value2" back to it; nothing else uses it.
  SettingValue value2;
  std::string description;
};

/// The four colour preferences; the values number the preferences dialog's colour swatches.
enum class ColorPref { RegExp = 1, Answer = 2, Function = 3, Background = 4 };

/// One colour preference: its key in prefs.xml and its factory colour.
struct ColorPrefEntry {
  ColorPref which;
  std::string_view key;
  std::string_view caption;
  Color defaultColor;
  std::string_view description;
};

/// The colour preferences in the file's order, the first four entries of the store.
inline constexpr std::array<ColorPrefEntry, 4> kColorPrefs{{
    {ColorPref::RegExp, "RegExpColor", "Regular Expression Color", 16777215,
     "Set the color of the regular expression text."},
    {ColorPref::Answer, "AnswerColor", "Answer Color", 65535, "Set the color of the answer text."},
    {ColorPref::Function, "FunctionColor", "Function Color", 255,
     "Set the default color of defined functions."},
    {ColorPref::Background, "BackgroundColor", "Background Color", 0,
     "Set the default color of the background."},
}};

/// The eight display and answer-format preferences in prefs.xml. Keys are matched without
/// regard to letter case (A-Z only).
class TOrmelPrefs {
 public:
  /// Constructed empty; the scratch pad and message box must outlive the store.
  TOrmelPrefs(ScratchPadLook& scratchPad, MessageBox& messages);

  /// Builds the table with its defaults; when the file does not exist, writes it.
  /// Throws EFCreateError when that write fails.
  void Init(const std::string& fileName);
  /// Builds the table with its defaults and writes nothing.
  void InitTable();
  /// Overlays "value" and "value2" from the file. A missing or foreign file changes nothing; a
  /// colour, cursor placement or decimal places that is not a whole number is refused, keeping
  /// the previous value. What is refused, and elements that mean nothing here, go to notes.
  void Load(const std::string& fileName, LoadNotes* notes = nullptr);
  /// Writes every entry. Throws EFCreateError naming the file and the reason; the old file is
  /// then untouched.
  void Save(const std::string& fileName) const;
  /// Pushes "BackgroundColor", "RegExpColor" (default text colour) and "SelectedFont" onto the
  /// scratch pad.
  void ApplyPrefs();

  /// Typed reads and writes, one per preference, so that no caller spells a key. A read of a
  /// value that is not a whole number gives 0 (an empty separator for the separator).
  [[nodiscard]] Color color(ColorPref which) const;
  /// The factory colour shown beside the current one.
  [[nodiscard]] Color defaultColor(ColorPref which) const;
  void setColor(ColorPref which, Color color);
  [[nodiscard]] std::string selectedFont() const;
  void setSelectedFont(const std::string& face);
  /// 0 the end of the expression, 1 the end of the answer, 2 the start of the line below;
  /// limited to -1 .. 2^20 like decimalPlaces.
  [[nodiscard]] int cursorPlacement() const;
  void setCursorPlacement(int placement);
  [[nodiscard]] int decimalPlaces() const;
  void setDecimalPlaces(int places);
  /// As stored; may be empty after a hand edit.
  [[nodiscard]] std::string decimalSeparator() const;
  void setDecimalSeparator(const std::string& separator);

  /// out.name becomes "not found" unless an entry matches key; then out is a copy of it.
  void getSetting(std::string_view key, TOrmelPref& out) const;
  /// A copy of the matching entry's value; the empty text when no entry matches.
  [[nodiscard]] SettingValue getSettingValue(std::string_view key) const;
  /// The matching entry's index; when none matches, shows "invalid setting!" and gives -1.
  [[nodiscard]] int getSettingIndex(std::string_view key) const;
  /// Sets the matching entry's value; nothing happens when no entry matches.
  void setSettingValue(std::string_view key, const SettingValue& value);

  [[nodiscard]] int count() const { return static_cast<int>(m_entries.size()); }
  [[nodiscard]] const std::vector<TOrmelPref>& entries() const { return m_entries; }

 private:
  [[nodiscard]] int findEntry(std::string_view key) const;
  [[nodiscard]] int wholeNumber(std::string_view key) const;

  ScratchPadLook& m_scratchPad;
  MessageBox& m_messages;
  std::vector<TOrmelPref> m_entries;
};

}  // namespace ormel
