#include <algorithm>
#include <array>
#include <vector>

#include "base/unicode_text.h"
#include "scratchpad/code_page_1252.h"
#include "scratchpad/content_file.h"
#include "scratchpad/content_sink.h"

namespace ormel {

namespace {

enum class Destination { Text, ColorTable, Skip };

struct GroupState {
  Destination destination = Destination::Text;
  bool bold = false;
  int color = 0;
  int unicodeSkip = 1;
};

/// Destinations whose content is not text of the document.
constexpr std::array<std::string_view, 44> kSkippedDestinations = {"annotation",
                                                                   "atnauthor",
                                                                   "atnid",
                                                                   "author",
                                                                   "bkmkend",
                                                                   "bkmkstart",
                                                                   "buptim",
                                                                   "colorschememapping",
                                                                   "comment",
                                                                   "company",
                                                                   "creatim",
                                                                   "datastore",
                                                                   "doccomm",
                                                                   "falt",
                                                                   "filetbl",
                                                                   "fldinst",
                                                                   "fonttbl",
                                                                   "footer",
                                                                   "footerf",
                                                                   "footerl",
                                                                   "footerr",
                                                                   "footnote",
                                                                   "generator",
                                                                   "header",
                                                                   "headerf",
                                                                   "headerl",
                                                                   "headerr",
                                                                   "info",
                                                                   "keywords",
                                                                   "latentstyles",
                                                                   "listoverridetable",
                                                                   "listtable",
                                                                   "object",
                                                                   "operator",
                                                                   "pict",
                                                                   "printim",
                                                                   "revtbl",
                                                                   "revtim",
                                                                   "rsidtbl",
                                                                   "stylesheet",
                                                                   "subject",
                                                                   "themedata",
                                                                   "title",
                                                                   "xmlnstbl"};

bool isSkippedDestination(std::string_view word) {
  return std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) !=
         kSkippedDestinations.end();
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/// Symbols that word processors write as control words.
char16_t namedCharacter(std::string_view word) {
  struct Named {
    std::string_view word;
    char16_t unit;
  };
  static constexpr Named kNamed[] = {{"emdash", 0x2014},    {"endash", 0x2013},  {"bullet", 0x2022},
                                     {"lquote", 0x2018},    {"rquote", 0x2019},  {"ldblquote", 0x201C},
                                     {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002},
                                     {"qmspace", 0x2005},   {"tab", u'\t'},      {"cell", u'\t'}};
  for (const Named& named : kNamed) {
    if (named.word == word) return named.unit;
  }
  return 0;
}

class RtfReader {
 public:
  RtfReader(std::string_view bytes, CharStyle defaultStyle, ContentSink& sink)
      : m_bytes(bytes), m_default(defaultStyle), m_sink(sink) {}

  void read() {
    m_pos = m_bytes.find('{');  // the caller checked that "{\rtf" starts the document
    while (m_pos < m_bytes.size()) {
      const char c = m_bytes[m_pos++];
      if (c == '{') {
        openGroup();
      } else if (c == '}') {
        if (!closeGroup()) break;
      } else if (c == '\\') {
        readControl();
      } else if (c != '\r' && c != '\n' && c != '\0') {
        textByte(static_cast<unsigned char>(c));
      }
    }
    flushBytes();
    endLine();
  }

 private:
  void openGroup() {
    flushBytes();
    m_skipUnits = 0;
    m_stack.push_back(m_state);
    m_groupStart = true;
    m_ignorable = false;
  }

  /// False when the document's outermost group has closed.
  bool closeGroup() {
    flushBytes();
    m_skipUnits = 0;
    m_groupStart = false;
    if (m_stack.empty()) return false;
    // The document's own group closing ends the last line in the state inside it: an empty
    // last line keeps the style written for it.
    if (m_stack.size() == 1) return false;
    m_state = m_stack.back();
    m_stack.pop_back();
    return true;
  }

  void readControl() {
    if (m_pos >= m_bytes.size()) return;
    const char c = m_bytes[m_pos];
    if (!isLetter(c)) {
      ++m_pos;
      controlSymbol(c);
      return;
    }
    const std::size_t start = m_pos;
    while (m_pos < m_bytes.size() && isLetter(m_bytes[m_pos])) ++m_pos;
    const std::string_view word = m_bytes.substr(start, m_pos - start);
    bool negative = false;
    if (m_pos + 1 < m_bytes.size() && m_bytes[m_pos] == '-' && isDigit(m_bytes[m_pos + 1])) {
      negative = true;
      ++m_pos;
    }
    std::optional<long long> parameter;
    while (m_pos < m_bytes.size() && isDigit(m_bytes[m_pos])) {
      // Clamped so that a run of digits cannot overflow; the words that use it need little range.
      parameter = std::min<long long>(parameter.value_or(0) * 10 + (m_bytes[m_pos] - '0'), 1LL << 40);
      ++m_pos;
    }
    if (parameter && negative) parameter = -*parameter;
    if (m_pos < m_bytes.size() && m_bytes[m_pos] == ' ') ++m_pos;
    controlWord(word, parameter);
  }

  void controlSymbol(char c) {
    const bool wasGroupStart = m_groupStart;
    m_groupStart = false;
    switch (c) {
      case '*':
        if (wasGroupStart) {
          m_ignorable = true;
          m_groupStart = true;
        }
        return;
      case '\'': {
        const int high = m_pos < m_bytes.size() ? hexValue(m_bytes[m_pos]) : -1;
        const int low = m_pos + 1 < m_bytes.size() ? hexValue(m_bytes[m_pos + 1]) : -1;
        if (high < 0 || low < 0) return;
        m_pos += 2;
        textByte(static_cast<unsigned char>(high * 16 + low));
        return;
      }
      case '\\':
      case '{':
      case '}':
        textByte(static_cast<unsigned char>(c));
        return;
      case '~':
        textUnit(0x00A0);
        return;
      case '_':
        textUnit(0x2011);
        return;
      case '\r':
      case '\n':
        if (!skipping()) lineBreak();
        return;
      default:
        return;  // \- optional hyphen, \: index entries and the like show nothing
    }
  }

  void controlWord(std::string_view word, std::optional<long long> parameter) {
    const bool wasGroupStart = m_groupStart;
    const bool ignorable = m_ignorable;
    m_groupStart = false;
    m_ignorable = false;
    if (word == "bin") {
      flushBytes();
      const auto length = static_cast<std::size_t>(std::max<long long>(parameter.value_or(0), 0));
      m_pos += std::min(length, m_bytes.size() - m_pos);
      return;
    }
    if (m_state.destination == Destination::Skip) return;
    if (wasGroupStart && (ignorable || isSkippedDestination(word))) {
      flushBytes();
      m_state.destination = Destination::Skip;
      return;
    }
    if (word == "colortbl") {
      m_state.destination = Destination::ColorTable;
      m_colorPart = {-1, -1, -1};
      return;
    }
    if (m_state.destination == Destination::ColorTable) {
      colorTableWord(word, parameter);
      return;
    }
    if (consumeSkippedUnit()) return;
    textWord(word, parameter);
  }

  void colorTableWord(std::string_view word, std::optional<long long> parameter) {
    const int value = static_cast<int>(std::clamp<long long>(parameter.value_or(0), 0, 255));
    if (word == "red") m_colorPart[0] = value;
    if (word == "green") m_colorPart[1] = value;
    if (word == "blue") m_colorPart[2] = value;
  }

  void textWord(std::string_view word, std::optional<long long> parameter) {
    if (word == "par" || word == "line" || word == "row" || word == "sect" || word == "page") {
      flushBytes();
      lineBreak();
    } else if (const char16_t named = namedCharacter(word)) {
      textUnit(named);
    } else if (word == "b") {
      flushBytes();
      m_state.bold = parameter.value_or(1) != 0;
    } else if (word == "cf") {
      flushBytes();
      m_state.color = static_cast<int>(std::clamp<long long>(parameter.value_or(0), 0, 1 << 20));
    } else if (word == "plain") {
      flushBytes();
      m_state.bold = false;
      m_state.color = 0;
    } else if (word == "uc") {
      m_state.unicodeSkip = static_cast<int>(std::clamp<long long>(parameter.value_or(1), 0, 16));
    } else if (word == "u" && parameter) {
      textUnit(static_cast<char16_t>(static_cast<std::uint16_t>(*parameter & 0xFFFF)));
      m_skipUnits = m_state.unicodeSkip;
    } else if (word == "ansicpg") {
      m_utf8 = parameter.value_or(0) == 65001;
    }
  }

  bool skipping() const { return m_state.destination == Destination::Skip; }

  /// The fallback characters after \uN are dropped: each byte, \'hh or control word is one.
  bool consumeSkippedUnit() {
    if (m_skipUnits == 0) return false;
    --m_skipUnits;
    return true;
  }

  void textByte(unsigned char byte) {
    m_groupStart = false;
    if (m_state.destination == Destination::Skip) return;
    if (m_state.destination == Destination::ColorTable) {
      if (byte == ';') {
        std::optional<Color> color;
        if (m_colorPart[0] >= 0 || m_colorPart[1] >= 0 || m_colorPart[2] >= 0) {
          color = std::max(m_colorPart[0], 0) | (std::max(m_colorPart[1], 0) << 8) |
                  (std::max(m_colorPart[2], 0) << 16);
        }
        m_colors.push_back(color);
        m_colorPart = {-1, -1, -1};
      }
      return;
    }
    if (consumeSkippedUnit()) return;
    if (m_utf8 && byte >= 0x80) {
      m_pendingBytes.push_back(static_cast<char>(byte));
      return;
    }
    flushBytes();
    textUnit(codePage1252ToUnicode(byte));
  }

  void flushBytes() {
    if (m_pendingBytes.empty()) return;
    const std::u16string units = utf8ToUtf16(m_pendingBytes);
    m_pendingBytes.clear();
    for (const char16_t unit : units) appendUnit(unit);
  }

  void textUnit(char16_t unit) {
    if (m_state.destination != Destination::Text) return;
    flushBytes();
    appendUnit(unit);
  }

  void appendUnit(char16_t unit) {
    // A line never holds a line break: an encoded CR ends the paragraph, an encoded LF is dropped.
    if (unit == u'\r') {
      endLine();
      return;
    }
    if (unit == u'\n') return;
    const CharStyle style = currentStyle();
    if (!m_run.empty() && !(style == m_runStyle)) flushRun();
    if (m_run.empty() && !m_lineHasText) m_lineStyle = style;
    m_run.push_back(unit);
    m_runStyle = style;
    m_lineHasText = true;
  }

  /// Hands the characters gathered in one style to the sink.
  void flushRun() {
    if (m_run.empty()) return;
    m_sink.run(m_run, m_runStyle);
    m_run.clear();
  }

  CharStyle currentStyle() const {
    CharStyle style{m_default.color, m_state.bold};
    const auto index = static_cast<std::size_t>(m_state.color);
    if (index < m_colors.size() && m_colors[index]) style.color = *m_colors[index];
    return style;
  }

  void endLine() {
    flushRun();
    m_sink.endLine(m_lineHasText ? m_lineStyle : currentStyle());
    m_lineHasText = false;
  }

  void lineBreak() {
    if (m_state.destination != Destination::Text) return;
    endLine();
  }

  std::string_view m_bytes;
  CharStyle m_default;
  std::size_t m_pos = 0;
  GroupState m_state;
  std::vector<GroupState> m_stack;
  bool m_groupStart = false;
  bool m_ignorable = false;
  bool m_utf8 = false;
  int m_skipUnits = 0;
  std::array<int, 3> m_colorPart{-1, -1, -1};
  std::vector<std::optional<Color>> m_colors;
  std::string m_pendingBytes;
  ContentSink& m_sink;
  std::u16string m_run;
  CharStyle m_runStyle;
  CharStyle m_lineStyle;
  bool m_lineHasText = false;
};

/// The bytes start, after an optional byte-order mark and blanks, with "{\rtf".
bool startsAsRtf(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  while (!bytes.empty() &&
         (bytes.front() == ' ' || bytes.front() == '\r' || bytes.front() == '\n' || bytes.front() == '\t')) {
    bytes.remove_prefix(1);
  }
  return bytes.substr(0, 5) == "{\\rtf";
}

}  // namespace

bool readRtf(std::string_view bytes, CharStyle defaultStyle, ContentSink& sink) {
  if (!startsAsRtf(bytes)) return false;
  RtfReader(bytes, defaultStyle, sink).read();
  return true;
}

std::optional<StyledText> readRtf(std::string_view bytes, CharStyle defaultStyle) {
  StyledTextSink lines;
  if (!readRtf(bytes, defaultStyle, lines)) return std::nullopt;
  return lines.take();
}

}  // namespace ormel
