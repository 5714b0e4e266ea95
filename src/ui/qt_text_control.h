#pragma once

#include <QColor>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "config/window_port.h"
#include "scratchpad/content_snapshot.h"
#include "scratchpad/styled_text.h"
#include "scratchpad/text_control_port.h"
#include "ui/qt_content_mirror.h"

class QTextBlock;
class QTextDocument;
class QPlainTextEdit;

namespace ormel {

/// A colour of the stores ($BBGGRR) as Qt's colour, and back.
[[nodiscard]] QColor toQColor(Color color);
[[nodiscard]] Color fromQColor(const QColor& color);

/// The scratch pad's text control on a QPlainTextEdit: blocks are lines, positions are QTextCursor's
/// (UTF-16 code units, a block separator counting one), the insertion style is the editor's
/// current character format. Behaves as the in-memory control does. Its look (font, colours)
/// is what the switches and preferences set.
class QtTextControl final : public TextControl, public ScratchPadLook {
 public:
  /// The editor must outlive the control.
  explicit QtTextControl(QPlainTextEdit& editor);
  ~QtTextControl() override;
  QtTextControl(const QtTextControl&) = delete;
  QtTextControl& operator=(const QtTextControl&) = delete;

  /// Where keyboard events go (the End key-down of caretToEndOfLine included).
  void setKeyEventSink(KeyEventSink* sink) { m_sink = sink; }

  [[nodiscard]] Color defaultTextColor() const { return m_defaultTextColor; }

  /// The whole content with its styles.
  [[nodiscard]] StyledText content() const;
  /// The same as a snapshot, cheap enough to take between two keys of a long pad.
  [[nodiscard]] ContentSnapshot snapshot() { return m_mirror->snapshot(); }
  /// Called after each change of the content.
  void setOnContentChange(std::function<void()> onChange);
  /// Replaces the whole content as one undoable step; the caret goes to the start.
  void setContent(const StyledText& content);
  /// Turns the content, which is before, into after as one undoable step, writing only the
  /// lines that differ; the caret goes to position caret.
  void replaceContent(const StyledText& before, const StyledText& after, int caret);

  [[nodiscard]] int lineCount() const override;
  [[nodiscard]] std::string line(int n) const override;
  [[nodiscard]] int lineLength(int n) const override;
  void setLine(int n, std::string_view text) override;
  [[nodiscard]] int caretLine() const override;
  [[nodiscard]] int lineStart(int n) const override;
  [[nodiscard]] int textLength() const override;
  [[nodiscard]] int selStart() const override;
  void setSelStart(int position) override;
  [[nodiscard]] int selLength() const override;
  void setSelLength(int length) override;
  [[nodiscard]] std::string selText() const override;
  void setSelText(std::string_view text) override;
  [[nodiscard]] CharStyle selAttributes() const override;
  void setSelAttributes(CharStyle style) override;
  [[nodiscard]] CharStyle styleAt(int position) const override;
  [[nodiscard]] char16_t characterAt(int position) const override;
  void scrollToCaret() override;
  void caretToEndOfLine() override;
  void clear() override;
  void saveContent(const std::string& path) const override;
  /// Opens the sheet in a new document with no undo history; only the lines that show are laid out.
  /// A long sheet's first lines are written at once and the rest in slices while the window goes
  /// on (undo stays off until the last is in); whatever needs the whole text waits for the rest.
  void loadContent(const std::string& path) override;
  /// Whether lines of an opened sheet are still to be written into the editor.
  [[nodiscard]] bool writingSheet() const { return m_unwritten.left > 0; }

  /// Points; a size the pad was given in pixels is converted at the screen's resolution.
  [[nodiscard]] int fontSize() const override;
  /// Sizes outside 1 to 1000 points are not fonts anyone can read and are ignored.
  void setFontSize(int points) override;
  /// An empty face is ignored.
  void setFontFace(const std::string& face) override;
  /// The colour of text that carries none of its own.
  void setDefaultTextColor(Color color) override;
  void setBackgroundColor(Color color) override;

 private:
  [[nodiscard]] CharStyle styleOf(const QTextCharFormat& format) const;
  [[nodiscard]] StyledLine lineOf(const QTextBlock& block) const;
  /// Writes lines at the cursor, the first into the cursor's (empty) block.
  static void writeLines(QTextCursor& cursor, StyledText::const_iterator first,
                         StyledText::const_iterator last);
  [[nodiscard]] static QTextCharFormat formatOf(CharStyle style);
  /// The style text gets in an empty pad, and plain text loaded into it.
  [[nodiscard]] CharStyle defaultStyle() const;
  /// Puts an empty document in the editor in place of the one it shows, which goes if it is
  /// ours; the mirror goes with it.
  void adoptEmptyDocument();
  /// Makes the mirror of the document shown, from lines known to be its lines if they are,
  /// followed by unwritten ones still to come.
  void followDocument(StyledText lines, std::size_t unwritten = 0);
  /// Writes the next slice of an opened sheet's unwritten lines, or all of them.
  void writeMore(bool all) const;
  /// No lines are left to write, whether all went in or the sheet gave way to another.
  void forgetUnwritten() const;
  /// Before reading or changing the document where unwritten lines would count.
  void needLine(int n) const;
  void needPosition(int position) const;
  void needWholeText() const;
  /// The length of the text in the editor, written lines only.
  [[nodiscard]] int writtenLength() const;
  /// Going to the end of what is written (Ctrl+End, select all) means the sheet's end.
  void followCaretToTheEnd();

  struct SelectionStyle {
    int anchor;
    int position;
    CharStyle style;
  };

  QPlainTextEdit& m_editor;
  std::optional<SelectionStyle> m_selectionStyle;
  KeyEventSink* m_sink = nullptr;
  Color m_defaultTextColor = 0;
  std::unique_ptr<QtContentMirror> m_mirror;
  std::function<void()> m_onContentChange;

  /// The lines of an opened sheet not yet in the editor, taken from the mirror, which has them
  /// all. Writing them changes nothing a reader of the content sees, so const readers may.
  struct Unwritten {
    ContentSnapshot lines;
    ContentSnapshot::const_iterator next;
    std::size_t left = 0;
    /// Lines per slice, tuned as slices go to take about the time a slice is given.
    std::size_t slice = 0;
    bool writing = false;
    QTimer timer;
  };
  mutable Unwritten m_unwritten;
};

}  // namespace ormel
