#pragma once

#include <string>
#include <string_view>

#include "base/setting_value.h"

namespace ormel {

/// Virtual-key codes the scratch pad's logic tells apart.
inline constexpr int kVkBack = 8;
inline constexpr int kVkTab = 9;
inline constexpr int kVkReturn = 13;
inline constexpr int kVkControl = 17;
inline constexpr int kVkEnd = 35;
inline constexpr int kVkHome = 36;
inline constexpr int kVkLeft = 37;
inline constexpr int kVkRight = 39;
inline constexpr int kVkDelete = 46;
inline constexpr int kVkF2 = 113;

/// The modifier keys held while a key event happens.
struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  friend bool operator==(const KeyModifiers&, const KeyModifiers&) = default;
};

/// The style of one character, and the insertion style: colour ($BBGGRR) and bold.
struct CharStyle {
  Color color = 0;
  bool bold = false;
  friend bool operator==(const CharStyle&, const CharStyle&) = default;
};

/// Receives the scratch pad's keyboard events, in the order key down, character, key up. The
/// control applies the character (inserts it; Enter inserts a line break) after keyPress and
/// before keyUp, so keyUp sees the text as the key changed it.
class KeyEventSink {
 public:
  virtual ~KeyEventSink() = default;
  virtual void keyDown(int key, KeyModifiers modifiers) = 0;
  /// False discards the character: the control never sees it.
  virtual bool keyPress(char32_t character, KeyModifiers modifiers) = 0;
  virtual void keyUp(int key, KeyModifiers modifiers) = 0;
  /// A key released over the control whose press went elsewhere (the Enter that closed a dialog
  /// or that the variable editor took): no key rule acts on it, but it ends what waited for the
  /// next release.
  virtual void strayKeyUp(int /*key*/, KeyModifiers /*modifiers*/) {}
};

/// The scratch pad seen as a text control. Lines are the paragraphs (the control never wraps);
/// positions count UTF-16 code units from 0 over the whole text, a line break counting as one;
/// line numbers count from 0. Texts cross this interface as UTF-8; invalid UTF-8 is taken as
/// U+FFFD per ill-formed sequence. A line break in a text written to the control is LF, CR or
/// CR LF. No operation throws except saveContent and loadContent.
class TextControl {
 public:
  virtual ~TextControl() = default;

  /// Number of lines; an empty control has one empty line.
  [[nodiscard]] virtual int lineCount() const = 0;
  /// The text of line n without its line break; empty when there is no line n.
  [[nodiscard]] virtual std::string line(int n) const = 0;
  /// The length of line n in UTF-16 code units; 0 when there is no line n.
  [[nodiscard]] virtual int lineLength(int n) const = 0;
  /// Replaces the text of line n (its line break stays). Characters before and after the part
  /// that changes keep their style; the changed part takes the style of the character before it
  /// (of the line's first character when the change starts the line). Nothing happens when there
  /// is no line n. A caret inside the line ends at its end; the selection is emptied.
  virtual void setLine(int n, std::string_view text) = 0;
  /// The number of the line that holds the caret.
  [[nodiscard]] virtual int caretLine() const = 0;
  /// Position of the first character of line n; -1 when there is no line n.
  [[nodiscard]] virtual int lineStart(int n) const = 0;
  /// The number of UTF-16 code units of the whole text, line breaks included.
  [[nodiscard]] virtual int textLength() const = 0;

  /// The caret position (start of the selection).
  [[nodiscard]] virtual int selStart() const = 0;
  /// Moves the caret and empties the selection; a negative value or one past the end puts the
  /// caret at the end of the text. The insertion style becomes that of the character before the
  /// caret (of the line's first character at a line start, of the line itself when empty).
  virtual void setSelStart(int position) = 0;
  [[nodiscard]] virtual int selLength() const = 0;
  /// Selects from the caret on; limited to the end of the text, a negative value selects nothing.
  virtual void setSelLength(int length) = 0;
  [[nodiscard]] virtual std::string selText() const = 0;
  /// Replaces the selection by text in the insertion style; the caret ends behind it.
  virtual void setSelText(std::string_view text) = 0;
  /// The insertion style.
  [[nodiscard]] virtual CharStyle selAttributes() const = 0;
  /// Sets the insertion style; a selected text keeps its own style until it is replaced.
  virtual void setSelAttributes(CharStyle style) = 0;
  /// The style of the character at a position; the line's own style at a line break.
  [[nodiscard]] virtual CharStyle styleAt(int position) const = 0;
  /// The UTF-16 code unit at a position; 0 at a line break and outside the text. Costs no copy
  /// of the line, so per-key rules can look at the caret's surroundings in any line length.
  [[nodiscard]] virtual char16_t characterAt(int position) const = 0;

  /// Makes the caret visible.
  virtual void scrollToCaret() = 0;
  /// Moves the caret to the end of its line as the End key does: the End key-down passes
  /// through the key event sink first.
  virtual void caretToEndOfLine() = 0;
  /// Removes all text.
  virtual void clear() = 0;

  /// Writes the whole content to path as a content file; throws the content file's errors.
  virtual void saveContent(const std::string& path) const = 0;
  /// Replaces the whole content by the content file at path; on an error the content stays.
  virtual void loadContent(const std::string& path) = 0;
};

}  // namespace ormel
