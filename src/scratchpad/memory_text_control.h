#pragma once

#include <optional>
#include <string>

#include "scratchpad/line_tree.h"
#include "scratchpad/text_control_port.h"

namespace ormel {

/// The scratch pad without a display: per-character colour and bold, the insertion style
/// following the character before the caret, and the keyboard as a user works it. Every
/// operation costs the line it touches and O(log lines) to find it.
class MemoryTextControl final : public TextControl {
 public:
  /// defaultStyle is the style of an empty control and of text loaded without styles.
  explicit MemoryTextControl(CharStyle defaultStyle = CharStyle{0, true});

  /// Where keyboard events go; none is the control on its own.
  void setKeyEventSink(KeyEventSink* sink) { m_sink = sink; }
  /// The style of an empty control and of plain text loaded into it.
  void setDefaultStyle(CharStyle style) { m_defaultStyle = style; }
  [[nodiscard]] CharStyle defaultStyle() const { return m_defaultStyle; }
  /// The font face that saved content names (UTF-8); empty names the default sheet font.
  void setFontFace(std::string face) { m_fontFace = std::move(face); }

  /// One key as the user presses it: key down (then the key's own action for Home, End, Left,
  /// Right and Delete), the character if the key makes one (Enter makes CR, Backspace BS), which
  /// the sink may discard, then key up.
  void pressKey(int key, KeyModifiers modifiers, std::optional<char32_t> character);
  /// Presses the key that types character: Enter for CR and LF, Backspace for BS, Tab for HT;
  /// letters, digits and the blank with their own key codes, other characters with key code 0.
  void typeCharacter(char32_t character, KeyModifiers modifiers = {});

  /// The whole text, lines joined by LF.
  [[nodiscard]] std::string text() const;
  /// The whole content with its styles.
  [[nodiscard]] StyledText content() const;
  /// Replaces the whole content; the caret goes to the start.
  void setContent(const StyledText& content);

  [[nodiscard]] int lineCount() const override;
  [[nodiscard]] std::string line(int n) const override;
  [[nodiscard]] int lineLength(int n) const override;
  void setLine(int n, std::string_view text) override;
  [[nodiscard]] int caretLine() const override;
  [[nodiscard]] int lineStart(int n) const override;
  [[nodiscard]] int textLength() const override;
  [[nodiscard]] int selStart() const override { return m_selStart; }
  void setSelStart(int position) override;
  [[nodiscard]] int selLength() const override { return m_selLength; }
  void setSelLength(int length) override;
  [[nodiscard]] std::string selText() const override;
  void setSelText(std::string_view text) override;
  [[nodiscard]] CharStyle selAttributes() const override { return m_insertStyle; }
  void setSelAttributes(CharStyle style) override;
  [[nodiscard]] CharStyle styleAt(int position) const override;
  [[nodiscard]] char16_t characterAt(int position) const override;
  void scrollToCaret() override {}
  void caretToEndOfLine() override;
  void clear() override;
  void saveContent(const std::string& path) const override;
  void loadContent(const std::string& path) override;

 private:
  /// Replaces [from, to) by text (line breaks as LF) in style; returns the position behind it.
  /// Every caller moves the caret afterwards, which brings m_caret up to date.
  int replaceRange(int from, int to, std::u16string_view text, CharStyle style);
  /// The same for an edit inside one line; false (nothing done) when it is not one.
  bool replaceInLine(int from, int to, std::u16string_view text, CharStyle style);
  void moveCaret(int position);
  [[nodiscard]] std::u16string rangeText(int from, int to) const;
  void applyCharacter(char32_t character);
  void applyKey(int key);

  /// The caret's line, kept so that typing finds it without searching the tree. The pointer
  /// stays valid until lines are added or removed, which every time resets the cache.
  struct CaretLine {
    int index = -1;
    int start = 0;
    const StyledLine* line = nullptr;
  };
  [[nodiscard]] int caretLineLength() const { return static_cast<int>(m_caret.line->text.size()); }

  LineTree m_lines;
  CaretLine m_caret;
  CharStyle m_defaultStyle;
  std::string m_fontFace;
  CharStyle m_insertStyle;
  int m_selStart = 0;
  int m_selLength = 0;
  KeyEventSink* m_sink = nullptr;
};

}  // namespace ormel
