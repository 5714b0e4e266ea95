#include "config/ini_file.h"

#include "base/atomic_file.h"
#include "base/exceptions.h"
#include "base/setting_value.h"
#include "base/text.h"

namespace ormel {

namespace {

bool isQuote(char c) { return c == '"' || c == '\''; }

bool enclosedInQuotes(std::string_view text) {
  return text.size() >= 2 && isQuote(text.front()) && text.back() == text.front();
}

bool hasOuterBlank(std::string_view text) {
  return !text.empty() &&
         (static_cast<unsigned char>(text.front()) <= ' ' || static_cast<unsigned char>(text.back()) <= ' ');
}

// A value as a read gives it: trimmed, then one pair of enclosing quotes removed.
std::string readValue(std::string_view raw) {
  std::string_view value = trimmed(raw);
  if (enclosedInQuotes(value)) value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::string oneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace

IniFile::IniFile(std::string_view text) {
  Section* current = nullptr;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = trimmed(text.substr(0, end));
    // CR LF is one line end.
    const bool crlf =
        end != std::string_view::npos && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + (crlf ? 2 : 1));
    ++lineNumber;

    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      m_sections.push_back({std::string(trimmed(line.substr(
                                1, close == std::string_view::npos ? std::string_view::npos : close - 1))),
                            {}});
      current = &m_sections.back();
      continue;
    }
    const std::size_t equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) {
      if (m_ignored.count++ == 0) {
        m_ignored.firstLine = lineNumber;
        m_ignored.firstText = std::string(line);
      }
      continue;
    }
    current->entries.push_back(
        {std::string(trimmed(line.substr(0, equals))), readValue(line.substr(equals + 1))});
  }
}

bool IniFile::LoadFromFile(const std::string& fileName) {
  std::string content;
  const bool ok = readWholeFile(fileName, content).ok;
  *this = IniFile(content);
  return ok;
}

const IniFile::Entry* IniFile::find(std::string_view section, std::string_view key) const {
  const std::string_view wantedSection = trimmed(section);
  const std::string_view wantedKey = trimmed(key);
  for (const Section& candidate : m_sections) {
    if (!sameTextAscii(candidate.name, wantedSection)) continue;
    for (const Entry& entry : candidate.entries) {
      if (sameTextAscii(entry.key, wantedKey)) return &entry;
    }
    return nullptr;
  }
  return nullptr;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const Entry* entry = find(section, key);
  const std::string_view value = entry != nullptr ? std::string_view(entry->value) : defaultValue;
  return std::string(value.substr(0, kMaxValueLength));
}

long long IniFile::readInteger(std::string_view section, std::string_view key, long long defaultValue) const {
  const Entry* entry = find(section, key);
  if (entry == nullptr) return defaultValue;
  return SettingValue(entry->value).toInteger().value_or(defaultValue);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string sectionName = oneLine(trimmed(section));
  const std::string keyName = oneLine(trimmed(key));
  Section* target = nullptr;
  for (Section& candidate : m_sections) {
    if (sameTextAscii(candidate.name, sectionName)) {
      target = &candidate;
      break;
    }
  }
  if (target == nullptr) {
    m_sections.push_back({sectionName, {}});
    target = &m_sections.back();
  }
  for (Entry& entry : target->entries) {
    if (sameTextAscii(entry.key, keyName)) {
      entry.value = oneLine(value);
      return;
    }
  }
  target->entries.push_back({keyName, oneLine(value)});
}

void IniFile::writeInteger(std::string_view section, std::string_view key, long long value) {
  writeString(section, key, std::to_string(value));
}

std::string IniFile::text() const {
  std::string out;
  for (const Section& section : m_sections) {
    if (!out.empty()) out += "\r\n";
    out += '[';
    out += section.name;
    out += "]\r\n";
    for (const Entry& entry : section.entries) {
      out += entry.key;
      out += '=';
      const bool quote = hasOuterBlank(entry.value) || enclosedInQuotes(entry.value);
      if (quote) out += '"';
      out += entry.value;
      if (quote) out += '"';
      out += "\r\n";
    }
  }
  return out;
}

void IniFile::SaveToFile(const std::string& fileName) const {
  const FileResult result = writeFileAtomically(fileName, text());
  if (!result.ok) throw EFCreateError(fileName, result.reason);
}

std::string readProfileString(const std::string& fileName, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
  IniFile file;
  file.LoadFromFile(fileName);
  return file.readString(section, key, defaultValue);
}

}  // namespace ormel
