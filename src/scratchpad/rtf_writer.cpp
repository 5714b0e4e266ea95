#include <map>

#include "scratchpad/content_file.h"

namespace ormel {

namespace {

constexpr Color kColorMask = 0xFFFFFF;

void appendEscaped(std::string& out, char16_t unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  if (unit == u'\\' || unit == u'{' || unit == u'}') {
    out.push_back('\\');
    out.push_back(static_cast<char>(unit));
  } else if (unit == u'\t') {
    out += "\\tab ";
  } else if (unit < 0x20) {
    out += "\\'";
    out.push_back(kHex[unit >> 4]);
    out.push_back(kHex[unit & 0xF]);
  } else if (unit < 0x80) {
    out.push_back(static_cast<char>(unit));
  } else {
    // \uN takes a signed 16-bit number; "?" is the fallback that readers without Unicode show.
    out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
  }
}

void appendStyle(std::string& out, CharStyle style, const std::map<Color, int>& colors) {
  out += "\\cf" + std::to_string(colors.at(style.color & kColorMask));
  out += style.bold ? "\\b " : "\\b0 ";
}

/// The document for any sequence of lines; lineOf gives an element's StyledLine.
template <typename Lines, typename LineOf>
std::string rtfOf(const Lines& content, LineOf lineOf) {
  std::map<Color, int> colors;
  for (const auto& element : content) {
    const StyledLine& line = lineOf(element);
    colors.emplace(line.lineStyle.color & kColorMask, 0);
    for (const CharStyle& style : line.styles) colors.emplace(style.color & kColorMask, 0);
  }
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n";
  out += "{\\colortbl ;";
  int index = 0;
  for (auto& [color, number] : colors) {
    number = ++index;
    out += "\\red" + std::to_string(color & 0xFF) + "\\green" + std::to_string((color >> 8) & 0xFF) +
           "\\blue" + std::to_string((color >> 16) & 0xFF) + ";";
  }
  out += "}\r\n\\viewkind4\\pard\\f0\\fs20 ";
  for (std::size_t n = 0; n < content.size(); ++n) {
    const StyledLine& line = lineOf(content[n]);
    if (n > 0) out += "\\par\r\n";
    if (line.text.empty()) appendStyle(out, line.lineStyle, colors);
    for (std::size_t i = 0; i < line.text.size(); ++i) {
      if (i == 0 || !(line.styles[i] == line.styles[i - 1])) appendStyle(out, line.styles[i], colors);
      appendEscaped(out, line.text[i]);
    }
  }
  out += "}\r\n";
  return out;
}

}  // namespace

std::string writeRtf(const StyledText& content) {
  return rtfOf(content, [](const StyledLine& line) -> const StyledLine& { return line; });
}

std::string writeRtf(const ContentSnapshot& content) {
  return rtfOf(content, [](const SharedLine& line) -> const StyledLine& { return *line; });
}

}  // namespace ormel
