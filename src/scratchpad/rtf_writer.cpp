#include <map>

#include "base/unicode_text.h"
#include "scratchpad/code_page_1252.h"
#include "scratchpad/content_file.h"

namespace ormel {

namespace {

constexpr Color kColorMask = 0xFFFFFF;

/// Writes RTF text one UTF-16 unit at a time. Units of code page 1252 go in as themselves or
/// \'hh; others as \uN with a "?" fallback, a run of them in a group of its own, because some
/// readers drop what follows a fallback up to the next group or blank.
class TextEscaper {
 public:
  explicit TextEscaper(std::string& out) : m_out(out) {}

  void append(char16_t unit) {
    const std::optional<unsigned char> byte = unicodeToCodePage1252(unit);
    if (!byte) {
      if (!m_inUnicodeGroup) m_out.push_back('{');
      m_inUnicodeGroup = true;
      // \uN takes a signed 16-bit number.
      m_out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
      return;
    }
    finish();
    appendByte(*byte);
  }

  /// Closes an open run of \uN; due before a control word that must stay in effect.
  void finish() {
    if (m_inUnicodeGroup) m_out.push_back('}');
    m_inUnicodeGroup = false;
  }

 private:
  void appendByte(unsigned char byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    if (byte == '\\' || byte == '{' || byte == '}') {
      m_out.push_back('\\');
      m_out.push_back(static_cast<char>(byte));
    } else if (byte == '\t') {
      m_out += "\\tab ";
    } else if (byte < 0x20 || byte >= 0x80) {
      m_out += "\\'";
      m_out.push_back(kHex[byte >> 4]);
      m_out.push_back(kHex[byte & 0xF]);
    } else {
      m_out.push_back(static_cast<char>(byte));
    }
  }

  std::string& m_out;
  bool m_inUnicodeGroup = false;
};

void appendStyle(std::string& out, CharStyle style, const std::map<Color, int>& colors) {
  out += "\\cf" + std::to_string(colors.at(style.color & kColorMask));
  out += style.bold ? "\\b " : "\\b0 ";
}

/// The document for any sequence of lines.
template <typename Lines>
std::string rtfOf(const Lines& content, std::string_view fontFace) {
  std::map<Color, int> colors;
  for (const StyledLine& line : content) {
    colors.emplace(line.lineStyle.color & kColorMask, 0);
    for (const CharStyle& style : line.styles) colors.emplace(style.color & kColorMask, 0);
  }
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset0 ";
  TextEscaper escaper(out);
  // The semicolon ends the entry, so one in the name cannot be written.
  for (const char16_t unit : utf8ToUtf16(fontFace.empty() ? kDefaultSheetFont : fontFace)) {
    if (unit != u';') escaper.append(unit);
  }
  escaper.finish();
  out += ";}}\r\n{\\colortbl ;";
  int index = 0;
  for (auto& [color, number] : colors) {
    number = ++index;
    out += "\\red" + std::to_string(color & 0xFF) + "\\green" + std::to_string((color >> 8) & 0xFF) +
           "\\blue" + std::to_string((color >> 16) & 0xFF) + ";";
  }
  out += "}\r\n\\viewkind4\\pard\\f0\\fs20 ";
  bool first = true;
  for (const StyledLine& line : content) {
    if (!first) out += "\\par\r\n";
    first = false;
    if (line.text.empty()) appendStyle(out, line.lineStyle, colors);
    for (std::size_t i = 0; i < line.text.size(); ++i) {
      if (i == 0 || !(line.styles[i] == line.styles[i - 1])) {
        escaper.finish();
        appendStyle(out, line.styles[i], colors);
      }
      escaper.append(line.text[i]);
    }
    escaper.finish();
  }
  out += "}\r\n";
  return out;
}

}  // namespace

std::string writeRtf(const StyledText& content, std::string_view fontFace) {
  return rtfOf(content, fontFace);
}

std::string writeRtf(const ContentSnapshot& content, std::string_view fontFace) {
  return rtfOf(content, fontFace);
}

}  // namespace ormel
