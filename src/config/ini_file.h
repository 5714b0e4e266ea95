#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ormel {

/// An INI document: sections in square brackets, each followed by "key=value" lines. Reading
/// follows the profile-string rules: section and key names are trimmed and matched without
/// regard to letter case (the first match wins), values are trimmed and lose one pair of
/// enclosing quotes. Lines that are neither are ignored (and not written back).
class IniFile {
 public:
  /// The longest value a read hands out; longer values are cut.
  static constexpr std::size_t kMaxValueLength = 2047;

  struct Entry {
    std::string key;
    std::string value;
    friend bool operator==(const Entry&, const Entry&) = default;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    friend bool operator==(const Section&, const Section&) = default;
  };

  IniFile() = default;
  /// Parses INI text (CR LF or LF line ends).
  explicit IniFile(std::string_view text);

  /// Reads the file; a missing or unreadable file gives an empty document and false.
  bool LoadFromFile(const std::string& fileName);

  /// The value of key in section, or defaultValue when the section or key is missing; an
  /// empty value is the empty text.
  [[nodiscard]] std::string readString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue) const;
  /// The value as a decimal whole number, or defaultValue when missing or not a number.
  [[nodiscard]] long long readInteger(std::string_view section, std::string_view key,
                                      long long defaultValue) const;

  /// Sets key in section, replacing its first occurrence or appending it (and the section).
  /// Line breaks in names and values become blanks, since a line cannot hold them.
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, long long value);

  /// The document as text, sections and keys in their order, CR LF line ends. Values that
  /// would not read back as they are (blanks at an end, enclosing quotes) are quoted.
  [[nodiscard]] std::string text() const;
  /// Writes text() atomically. Throws EFCreateError naming the file and the reason; the old
  /// file is then untouched.
  void SaveToFile(const std::string& fileName) const;

  [[nodiscard]] const std::vector<Section>& sections() const { return m_sections; }

  /// The lines the parse ignored although they are neither blank nor comments: ones that are no
  /// section and no "key=value", and keys before the first section.
  struct Ignored {
    std::size_t count = 0;
    std::size_t firstLine = 0;  ///< 1-based
    std::string firstText;      ///< trimmed, as it stands
  };
  [[nodiscard]] const Ignored& ignored() const { return m_ignored; }

 private:
  [[nodiscard]] const Entry* find(std::string_view section, std::string_view key) const;

  std::vector<Section> m_sections;
  Ignored m_ignored;
};

/// One value of an INI file as the profile-string functions read it: defaultValue when the file,
/// section or key is missing.
[[nodiscard]] std::string readProfileString(const std::string& fileName, std::string_view section,
                                            std::string_view key, std::string_view defaultValue);

}  // namespace ormel
