#include "scratchpad/memory_text_control.h"

#include <algorithm>

#include "base/unicode_text.h"
#include "scratchpad/content_file.h"

namespace ormel {

namespace {

/// The UTF-16 form of an interface text with every CR LF and CR turned into LF.
std::u16string normalisedText(std::string_view text) {
  std::u16string units = utf8ToUtf16(text);
  std::u16string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'\r') {
      out.push_back(u'\n');
      if (i + 1 < units.size() && units[i + 1] == u'\n') ++i;
    } else {
      out.push_back(units[i]);
    }
  }
  return out;
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

MemoryTextControl::MemoryTextControl(CharStyle defaultStyle)
    : m_defaultStyle(defaultStyle), m_insertStyle(defaultStyle) {
  m_lines.reset(defaultStyle);
  moveCaret(0);
}

void MemoryTextControl::pressKey(int key, KeyModifiers modifiers, std::optional<char32_t> character) {
  if (m_sink) m_sink->keyDown(key, modifiers);
  applyKey(key);
  if (character && (!m_sink || m_sink->keyPress(*character, modifiers))) applyCharacter(*character);
  if (m_sink) m_sink->keyUp(key, modifiers);
}

void MemoryTextControl::typeCharacter(char32_t character, KeyModifiers modifiers) {
  int key = 0;
  if (character == U'\r' || character == U'\n') {
    key = kVkReturn;
    character = U'\r';
  } else if (character == U'\b') {
    key = kVkBack;
  } else if (character == U'\t') {
    key = kVkTab;
  } else if (character >= U'a' && character <= U'z') {
    key = static_cast<int>(character - U'a' + U'A');
  } else if ((character >= U'A' && character <= U'Z') || (character >= U'0' && character <= U'9') ||
             character == U' ') {
    key = static_cast<int>(character);
  }
  pressKey(key, modifiers, character);
}

void MemoryTextControl::applyKey(int key) {
  const int caret = m_selStart;
  switch (key) {
    case kVkHome:
      moveCaret(m_caret.start);
      break;
    case kVkEnd:
      moveCaret(m_caret.start + caretLineLength());
      break;
    case kVkLeft:
      moveCaret(m_selLength > 0 ? caret : std::max(caret - 1, 0));
      break;
    case kVkRight:
      moveCaret(m_selLength > 0 ? caret + m_selLength : caret + 1);
      break;
    case kVkDelete: {
      int length = m_selLength;
      if (length == 0 && caret < textLength()) {
        length = std::min(isHighSurrogate(rangeText(caret, caret + 1)[0]) ? 2 : 1, textLength() - caret);
      }
      moveCaret(replaceRange(caret, caret + length, {}, m_insertStyle));
      break;
    }
    default:
      break;
  }
}

void MemoryTextControl::applyCharacter(char32_t character) {
  const int from = m_selStart;
  const int to = m_selStart + m_selLength;
  std::u16string units;
  if (character == U'\r' || character == U'\n') {
    units = u"\n";
  } else if (character == U'\b') {
    if (from == to && from > 0) {
      const std::u16string before = rangeText(std::max(from - 2, 0), from);
      const bool pair = before.size() == 2 && isHighSurrogate(before[0]) && isLowSurrogate(before[1]);
      moveCaret(replaceRange(from - (pair ? 2 : 1), from, {}, m_insertStyle));
    } else {
      moveCaret(replaceRange(from, to, {}, m_insertStyle));
    }
    return;
  } else if (character == U'\t' || (character >= 0x20 && character != 0x7F)) {
    appendUtf16(units, character);
  } else {
    return;  // other control characters are not text
  }
  moveCaret(replaceRange(from, to, units, m_insertStyle));
}

std::string MemoryTextControl::text() const { return utf16ToUtf8(rangeText(0, textLength())); }

StyledText MemoryTextControl::content() const {
  StyledText out;
  out.reserve(static_cast<std::size_t>(m_lines.count()));
  m_lines.visit(0, m_lines.count(), [&](int, const StyledLine& line) { out.push_back(line); });
  return out;
}

void MemoryTextControl::setContent(const StyledText& content) {
  m_lines.reset(content.empty() ? m_defaultStyle : content.front().lineStyle);
  if (!content.empty()) {
    m_lines.modify(0, [&](StyledLine& line) { line = content.front(); });
    m_lines.insertAfter(0, StyledText(content.begin() + 1, content.end()));
  }
  m_caret.index = -1;
  moveCaret(0);
}

int MemoryTextControl::lineCount() const { return m_lines.count(); }

std::string MemoryTextControl::line(int n) const {
  if (n >= 0 && n == m_caret.index) return utf16ToUtf8(m_caret.line->text);
  if (n < 0 || n >= m_lines.count()) return {};
  return utf16ToUtf8(m_lines.at(n).text);
}

int MemoryTextControl::lineLength(int n) const {
  if (n >= 0 && n == m_caret.index) return caretLineLength();
  if (n < 0 || n >= m_lines.count()) return 0;
  return static_cast<int>(m_lines.at(n).text.size());
}

void MemoryTextControl::setLine(int n, std::string_view text) {
  if (n < 0 || n >= m_lines.count()) return;
  const std::u16string replacement = normalisedText(text);
  const StyledLine& old = m_lines.at(n);
  // Only the part that differs is replaced, so characters that stay keep their style.
  std::size_t prefix = 0;
  while (prefix < old.text.size() && prefix < replacement.size() && old.text[prefix] == replacement[prefix]) {
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < old.text.size() - prefix && suffix < replacement.size() - prefix &&
         old.text[old.text.size() - 1 - suffix] == replacement[replacement.size() - 1 - suffix]) {
    ++suffix;
  }
  CharStyle style = old.lineStyle;
  if (prefix > 0) {
    style = old.styles[prefix - 1];
  } else if (!old.styles.empty()) {
    style = old.styles.front();
  }
  const int start = m_lines.startOf(n);
  const int end = start + static_cast<int>(old.text.size());
  const int from = start + static_cast<int>(prefix);
  const int to = end - static_cast<int>(suffix);
  const int caret = m_selStart;
  const int newEnd =
      replaceRange(from, to,
                   std::u16string_view(replacement).substr(prefix, replacement.size() - prefix - suffix),
                   style) +
      static_cast<int>(suffix);
  if (caret > end) {
    moveCaret(caret + (newEnd - end));
  } else if (caret > start) {
    moveCaret(newEnd);
  } else {
    moveCaret(caret);
  }
}

int MemoryTextControl::caretLine() const { return m_caret.index; }

int MemoryTextControl::lineStart(int n) const {
  if (n >= 0 && n == m_caret.index) return m_caret.start;
  if (n < 0 || n >= m_lines.count()) return -1;
  return m_lines.startOf(n);
}

int MemoryTextControl::textLength() const { return m_lines.totalLength(); }

void MemoryTextControl::setSelStart(int position) { moveCaret(position); }

void MemoryTextControl::setSelLength(int length) {
  m_selLength = std::clamp(length, 0, textLength() - m_selStart);
}

std::string MemoryTextControl::selText() const {
  return utf16ToUtf8(rangeText(m_selStart, m_selStart + m_selLength));
}

void MemoryTextControl::setSelText(std::string_view text) {
  moveCaret(replaceRange(m_selStart, m_selStart + m_selLength, normalisedText(text), m_insertStyle));
}

void MemoryTextControl::setSelAttributes(CharStyle style) { m_insertStyle = style; }

CharStyle MemoryTextControl::styleAt(int position) const {
  position = std::clamp(position, 0, textLength());
  const int n = m_lines.lineAt(position);
  const StyledLine& line = m_lines.at(n);
  const auto column = static_cast<std::size_t>(position - m_lines.startOf(n));
  return column < line.styles.size() ? line.styles[column] : line.lineStyle;
}

char16_t MemoryTextControl::characterAt(int position) const {
  if (position < 0 || position >= textLength()) return 0;
  // Typing asks about the caret's line, which is at hand without a search.
  if (m_caret.index >= 0 && position >= m_caret.start && position <= m_caret.start + caretLineLength()) {
    const auto column = static_cast<std::size_t>(position - m_caret.start);
    return column < m_caret.line->text.size() ? m_caret.line->text[column] : char16_t{0};
  }
  const int n = m_lines.lineAt(position);
  const StyledLine& line = m_lines.at(n);
  const auto column = static_cast<std::size_t>(position - m_lines.startOf(n));
  return column < line.text.size() ? line.text[column] : char16_t{0};
}

void MemoryTextControl::caretToEndOfLine() {
  if (m_sink) m_sink->keyDown(kVkEnd, KeyModifiers{});
  applyKey(kVkEnd);
}

void MemoryTextControl::clear() {
  m_lines.reset(m_defaultStyle);
  m_caret.index = -1;
  moveCaret(0);
}

void MemoryTextControl::saveContent(const std::string& path) const {
  saveContentFile(path, content(), m_fontFace);
}

void MemoryTextControl::loadContent(const std::string& path) {
  setContent(loadContentFile(path, m_defaultStyle));
}

bool MemoryTextControl::replaceInLine(int from, int to, std::u16string_view text, CharStyle style) {
  if (text.find(u'\n') != std::u16string_view::npos) return false;
  int n = m_caret.index;
  int start = m_caret.start;
  int length = caretLineLength();
  if (from < start || to > start + length) {
    n = m_lines.lineAt(from);
    start = m_lines.startOf(n);
    length = static_cast<int>(m_lines.at(n).text.size());
    if (to > start + length) return false;
  }
  m_lines.modify(n, [&](StyledLine& line) {
    const auto column = static_cast<std::size_t>(from - start);
    const auto removed = static_cast<std::size_t>(to - from);
    line.text.replace(column, removed, text);
    line.styles.erase(line.styles.begin() + static_cast<std::ptrdiff_t>(column),
                      line.styles.begin() + static_cast<std::ptrdiff_t>(column + removed));
    line.styles.insert(line.styles.begin() + static_cast<std::ptrdiff_t>(column), text.size(), style);
  });
  const int delta = static_cast<int>(text.size()) - (to - from);
  if (n < m_caret.index) m_caret.start += delta;
  return true;
}

int MemoryTextControl::replaceRange(int from, int to, std::u16string_view text, CharStyle style) {
  const int total = textLength();
  from = std::clamp(from, 0, total);
  to = std::clamp(to, from, total);
  if (replaceInLine(from, to, text, style)) return from + static_cast<int>(text.size());
  m_caret.index = -1;  // lines moved: moveCaret searches afresh
  const int first = m_lines.lineAt(from);
  const int last = m_lines.lineAt(to);
  const int firstColumn = from - m_lines.startOf(first);
  const int lastColumn = to - m_lines.startOf(last);

  StyledLine tail;
  {
    const StyledLine& lastLine = m_lines.at(last);
    tail.text = lastLine.text.substr(static_cast<std::size_t>(lastColumn));
    tail.styles.assign(lastLine.styles.begin() + lastColumn, lastLine.styles.end());
  }
  m_lines.erase(first + 1, last + 1);

  std::vector<StyledLine> added;
  std::size_t pieceStart = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\n') continue;
    const std::u16string_view piece = text.substr(pieceStart, i - pieceStart);
    if (pieceStart == 0) {
      m_lines.modify(first, [&](StyledLine& line) {
        line.text.resize(static_cast<std::size_t>(firstColumn));
        line.styles.resize(static_cast<std::size_t>(firstColumn));
        line.text.append(piece);
        line.styles.insert(line.styles.end(), piece.size(), style);
      });
    } else {
      added.push_back(StyledLine{std::u16string(piece), std::vector<CharStyle>(piece.size(), style), style});
    }
    pieceStart = i + 1;
  }
  if (added.empty()) {
    m_lines.modify(first, [&](StyledLine& line) {
      line.text += tail.text;
      line.styles.insert(line.styles.end(), tail.styles.begin(), tail.styles.end());
    });
  } else {
    added.back().text += tail.text;
    added.back().styles.insert(added.back().styles.end(), tail.styles.begin(), tail.styles.end());
    m_lines.insertAfter(first, std::move(added));
  }
  return from + static_cast<int>(text.size());
}

void MemoryTextControl::moveCaret(int position) {
  const int total = textLength();
  m_selStart = position < 0 || position > total ? total : position;
  m_selLength = 0;
  if (m_caret.index < 0 || m_selStart < m_caret.start || m_selStart > m_caret.start + caretLineLength()) {
    m_caret.index = m_lines.lineAt(m_selStart);
    m_caret.start = m_lines.startOf(m_caret.index);
    m_caret.line = &m_lines.at(m_caret.index);
  }
  // The insertion style follows the character before the caret.
  const StyledLine& line = *m_caret.line;
  const int column = m_selStart - m_caret.start;
  if (column > 0) {
    m_insertStyle = line.styles[static_cast<std::size_t>(column - 1)];
  } else {
    m_insertStyle = line.styles.empty() ? line.lineStyle : line.styles.front();
  }
}

std::u16string MemoryTextControl::rangeText(int from, int to) const {
  std::u16string out;
  if (from >= to) return out;
  const int first = m_lines.lineAt(from);
  const int last = m_lines.lineAt(to);
  int start = m_lines.startOf(first);
  m_lines.visit(first, last + 1, [&](int n, const StyledLine& line) {
    const int length = static_cast<int>(line.text.size());
    const int begin = std::max(from - start, 0);
    const int end = std::min(to - start, length);
    if (end > begin)
      out.append(line.text, static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
    if (n < last) out.push_back(u'\n');
    start += length + 1;
  });
  return out;
}

}  // namespace ormel
