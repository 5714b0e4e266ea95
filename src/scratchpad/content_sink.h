#pragma once

#include <string_view>

#include "scratchpad/styled_text.h"

namespace ormel {

/// Receives a text as a reader finds it, line by line: runs of characters in one style, each
/// line closed by endLine. A text always has at least one line, so endLine comes at least once.
class ContentSink {
 public:
  virtual ~ContentSink() = default;
  /// Characters of the current line, all in style; never empty, never a line break.
  virtual void run(std::u16string_view text, CharStyle style) = 0;
  /// Ends the current line; lineStyle is the line's own style (its first character's, or for an
  /// empty line the style it shows).
  virtual void endLine(CharStyle lineStyle) = 0;
};

/// Collects what it receives as a StyledText.
class StyledTextSink final : public ContentSink {
 public:
  void run(std::u16string_view text, CharStyle style) override {
    m_line.text.append(text);
    m_line.styles.insert(m_line.styles.end(), text.size(), style);
  }
  void endLine(CharStyle lineStyle) override {
    m_line.lineStyle = lineStyle;
    m_lines.push_back(std::move(m_line));
    m_line = StyledLine{};
  }
  [[nodiscard]] StyledText take() { return std::move(m_lines); }

 private:
  StyledLine m_line;
  StyledText m_lines;
};

/// Sends a StyledText to a sink, each line's characters as runs of one style.
void sendStyledText(const StyledText& content, ContentSink& sink);
void sendStyledLine(const StyledLine& line, ContentSink& sink);
void sendStyledText(StyledText::const_iterator first, StyledText::const_iterator last, ContentSink& sink);

}  // namespace ormel
