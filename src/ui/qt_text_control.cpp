#include "ui/qt_text_control.h"

#include <QElapsedTimer>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "scratchpad/content_file.h"
#include "scratchpad/content_sink.h"

namespace ormel {
namespace {

/// An interface text as Qt text, every CR LF and CR turned into LF.
QString normalised(std::string_view text) {
  QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  out.replace(QChar('\r'), QChar('\n'));
  return out;
}

QTextCharFormat charFormatOf(CharStyle style) {
  QTextCharFormat format;
  format.setForeground(toQColor(style.color));
  format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
  return format;
}

/// Writes lines at a cursor, the first into the cursor's (empty) block: each line a block whose
/// own format is the line's style. Characters in one style go in as one piece, line breaks
/// included (a break takes the style of the line it starts), so a sheet costs a step per change
/// of style, not two per line.
class DocumentFiller final : public ContentSink {
 public:
  enum class Place { IntoCursorBlock, AfterTheEnd };

  /// One edit block for the whole fill: a cursor outside one lays its line out after every
  /// insertion or move (to know its x), which cost three times the time and four times the memory.
  explicit DocumentFiller(QTextCursor& cursor, Place place = Place::IntoCursorBlock)
      : m_cursor(cursor), m_firstLine(place == Place::IntoCursorBlock) {
    m_cursor.beginEditBlock();
    if (place == Place::AfterTheEnd) m_cursor.movePosition(QTextCursor::End);
  }

  void run(std::u16string_view text, CharStyle style) override {
    if (!m_lineOpen) openLine(style);
    append(text, style);
  }
  void endLine(CharStyle lineStyle) override {
    if (!m_lineOpen) {
      openLine(lineStyle);
    } else if (!(lineStyle == m_blockStyle)) {
      flush();
      m_cursor.setBlockCharFormat(formatOf(lineStyle));
    }
    m_lineOpen = false;
  }
  /// Writes what is still held back; the layout hears of the whole fill at once.
  void finish() {
    flush();
    m_cursor.endEditBlock();
  }

 private:
  void openLine(CharStyle style) {
    if (m_firstLine) {
      m_cursor.setBlockCharFormat(formatOf(style));
      m_firstLine = false;
    } else {
      append(u"\n", style);
    }
    m_blockStyle = style;
    m_lineOpen = true;
  }
  void append(std::u16string_view text, CharStyle style) {
    if (!m_pending.isEmpty() && !(style == m_pendingStyle)) flush();
    m_pendingStyle = style;
    m_pending.append(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
  }
  void flush() {
    if (m_pending.isEmpty()) return;
    m_cursor.insertText(m_pending, formatOf(m_pendingStyle));
    m_pending.clear();
  }
  /// A sheet uses a handful of styles: each format is made once.
  const QTextCharFormat& formatOf(CharStyle style) {
    for (const auto& [known, format] : m_formats) {
      if (known == style) return format;
    }
    return m_formats.emplace_back(style, charFormatOf(style)).second;
  }

  QTextCursor& m_cursor;
  std::vector<std::pair<CharStyle, QTextCharFormat>> m_formats;
  QString m_pending;
  CharStyle m_pendingStyle;
  CharStyle m_blockStyle;
  bool m_firstLine;
  bool m_lineOpen = false;
};

/// Inserts text at the cursor, each LF as a new block, in the cursor's format.
void insertLines(QTextCursor& cursor, const QString& text, const QTextCharFormat& format) {
  qsizetype start = 0;
  for (;;) {
    const qsizetype lf = text.indexOf(QChar('\n'), start);
    const QString piece = text.mid(start, lf < 0 ? -1 : lf - start);
    if (!piece.isEmpty()) cursor.insertText(piece, format);
    if (lf < 0) return;
    cursor.insertBlock(QTextBlockFormat(), format);
    start = lf + 1;
  }
}

/// A sheet's first lines are written before the window goes on: enough to show and to scroll
/// through, and every sheet of ordinary length whole.
constexpr std::size_t kFirstLines = 16384;
/// The rest goes a slice at a time, each taking about this long, so keys are answered between.
constexpr qint64 kSliceNs = 10'000'000;
constexpr std::size_t kFirstSlice = 4096;
constexpr std::size_t kSmallestSlice = 256;
constexpr std::size_t kLargestSlice = 32768;

}  // namespace

QColor toQColor(Color color) { return {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF}; }

Color fromQColor(const QColor& color) { return color.red() | (color.green() << 8) | (color.blue() << 16); }

QtTextControl::QtTextControl(QPlainTextEdit& editor) : m_editor(editor) {
  followDocument(StyledText{});
  QObject::connect(&m_unwritten.timer, &QTimer::timeout, [this] { writeMore(false); });
  // Select all moves the caret without saying so, but not the selection.
  for (auto signal : {&QPlainTextEdit::cursorPositionChanged, &QPlainTextEdit::selectionChanged})
    QObject::connect(&m_editor, signal, &m_unwritten.timer, [this] { followCaretToTheEnd(); });
}

QtTextControl::~QtTextControl() = default;

void QtTextControl::setOnContentChange(std::function<void()> onChange) {
  m_onContentChange = std::move(onChange);
  m_mirror->setOnChange(m_onContentChange);
}

void QtTextControl::setDefaultTextColor(Color color) {
  // Text without a colour of its own reads as the default colour.
  const bool changed = color != m_defaultTextColor;
  m_defaultTextColor = color;
  if (changed) m_mirror->rebuild();
  QPalette palette = m_editor.palette();
  palette.setColor(QPalette::Text, toQColor(color));
  m_editor.setPalette(palette);
}

void QtTextControl::setBackgroundColor(Color color) {
  QPalette palette = m_editor.palette();
  palette.setColor(QPalette::Base, toQColor(color));
  m_editor.setPalette(palette);
}

int QtTextControl::fontSize() const {
  const QFont font = m_editor.font();
  if (font.pointSize() > 0) return font.pointSize();
  return qRound(font.pixelSize() * 72.0 / m_editor.logicalDpiY());
}

void QtTextControl::setFontSize(int points) {
  constexpr int kLargest = 1000;
  if (points < 1 || points > kLargest) return;
  QFont font = m_editor.font();
  font.setPointSize(points);
  m_editor.setFont(font);
}

void QtTextControl::setFontFace(const std::string& face) {
  if (face.empty()) return;
  QFont font = m_editor.font();
  font.setFamily(QString::fromStdString(face));
  m_editor.setFont(font);
}

CharStyle QtTextControl::styleOf(const QTextCharFormat& format) const {
  CharStyle style;
  style.color = format.hasProperty(QTextFormat::ForegroundBrush) ? fromQColor(format.foreground().color())
                                                                 : m_defaultTextColor;
  // Text without a weight of its own shows in the pad's font, which is bold.
  style.bold = !format.hasProperty(QTextFormat::FontWeight) || format.fontWeight() >= QFont::Bold;
  return style;
}

QTextCharFormat QtTextControl::formatOf(CharStyle style) { return charFormatOf(style); }

CharStyle QtTextControl::defaultStyle() const { return CharStyle{m_defaultTextColor, true}; }

StyledLine QtTextControl::lineOf(const QTextBlock& block) const {
  StyledLine line;
  line.lineStyle = styleOf(block.charFormat());
  for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
    const QTextFragment piece = fragment.fragment();
    const QString text = piece.text();
    line.text.append(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    line.styles.insert(line.styles.end(), static_cast<std::size_t>(text.size()), styleOf(piece.charFormat()));
  }
  return line;
}

StyledText QtTextControl::content() const {
  needWholeText();
  StyledText lines;
  const QTextDocument& document = *m_editor.document();
  lines.reserve(static_cast<std::size_t>(document.blockCount()));
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    lines.push_back(lineOf(block));
  return lines;
}

void QtTextControl::setContent(const StyledText& content) {
  needWholeText();
  QTextCursor cursor(m_editor.document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  cursor.removeSelectedText();
  writeLines(cursor, content.begin(), content.end());
  cursor.endEditBlock();
  cursor.movePosition(QTextCursor::Start);
  m_editor.setTextCursor(cursor);
}

void QtTextControl::replaceContent(const StyledText& before, const StyledText& after, int caret) {
  needWholeText();
  // Only the lines between the equal ones at the start and at the end are written again.
  std::size_t head = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
  std::size_t tail = 0;
  while (tail < before.size() - head && tail < after.size() - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
    ++tail;
  }
  QTextCursor cursor(m_editor.document());
  if (head < before.size() || head < after.size()) {
    // Both sides need a line at least, to have a block to write into.
    while (head + tail >= before.size() || head + tail >= after.size()) {
      if (tail > 0) {
        --tail;
      } else {
        --head;
      }
    }
    const QTextDocument& document = *m_editor.document();
    const QTextBlock last = document.findBlockByNumber(static_cast<int>(before.size() - 1 - tail));
    cursor.beginEditBlock();
    cursor.setPosition(document.findBlockByNumber(static_cast<int>(head)).position());
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    writeLines(cursor, after.begin() + static_cast<std::ptrdiff_t>(head),
               after.end() - static_cast<std::ptrdiff_t>(tail));
    cursor.endEditBlock();
  }
  cursor.setPosition(std::clamp(caret, 0, textLength()));
  m_editor.setTextCursor(cursor);
}

void QtTextControl::writeLines(QTextCursor& cursor, StyledText::const_iterator first,
                               StyledText::const_iterator last) {
  DocumentFiller filler(cursor);
  sendStyledText(first, last, filler);
  filler.finish();
}

int QtTextControl::lineCount() const {
  return m_editor.document()->blockCount() + static_cast<int>(m_unwritten.left);
}

std::string QtTextControl::line(int n) const {
  needLine(n);
  const QTextBlock block = m_editor.document()->findBlockByNumber(n);
  return block.isValid() ? block.text().toStdString() : std::string();
}

int QtTextControl::lineLength(int n) const {
  needLine(n);
  const QTextBlock block = m_editor.document()->findBlockByNumber(n);
  return block.isValid() ? block.length() - 1 : 0;
}

void QtTextControl::setLine(int n, std::string_view text) {
  needLine(n);
  const QTextBlock block = m_editor.document()->findBlockByNumber(n);
  if (!block.isValid()) return;
  const int start = block.position();
  const int end = start + block.length() - 1;
  const int caret = selStart();
  // The new text takes the style of the line's first character, or the line's own style.
  const QTextCharFormat format =
      block.length() > 1 ? block.begin().fragment().charFormat() : block.charFormat();
  QTextCursor cursor(m_editor.document());
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  insertLines(cursor, normalised(text), format);
  cursor.endEditBlock();
  const int newEnd = cursor.position();
  if (caret > end) {
    setSelStart(caret + (newEnd - end));
  } else if (caret > start) {
    setSelStart(newEnd);
  } else {
    setSelStart(caret);
  }
}

int QtTextControl::caretLine() const { return m_editor.textCursor().blockNumber(); }

int QtTextControl::lineStart(int n) const {
  needLine(n);
  const QTextBlock block = m_editor.document()->findBlockByNumber(n);
  return block.isValid() ? block.position() : -1;
}

int QtTextControl::textLength() const {
  needWholeText();
  return writtenLength();
}

int QtTextControl::writtenLength() const { return m_editor.document()->characterCount() - 1; }

int QtTextControl::selStart() const { return m_editor.textCursor().selectionStart(); }

void QtTextControl::setSelStart(int position) {
  // Past the end means the end, which is the sheet's.
  if (position < 0) needWholeText();
  needPosition(position);
  const int total = writtenLength();
  QTextCursor cursor = m_editor.textCursor();
  cursor.setPosition(position < 0 || position > total ? total : position);
  m_editor.setTextCursor(cursor);
}

int QtTextControl::selLength() const {
  const QTextCursor cursor = m_editor.textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void QtTextControl::setSelLength(int length) {
  QTextCursor cursor = m_editor.textCursor();
  const int start = cursor.selectionStart();
  needPosition(start + std::max(length, 0));
  const int end = start + std::clamp(length, 0, writtenLength() - start);
  // The caret (position) stays at the start, as SelStart reads it; the selection runs forward.
  cursor.setPosition(end);
  cursor.setPosition(start, QTextCursor::KeepAnchor);
  m_editor.setTextCursor(cursor);
}

std::string QtTextControl::selText() const {
  QString text = m_editor.textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, QChar('\n'));
  return text.toStdString();
}

void QtTextControl::setSelText(std::string_view text) {
  const QTextCharFormat format = formatOf(selAttributes());
  QTextCursor cursor = m_editor.textCursor();
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  insertLines(cursor, normalised(text), format);
  cursor.endEditBlock();
  m_editor.setTextCursor(cursor);
}

CharStyle QtTextControl::selAttributes() const {
  const QTextCursor cursor = m_editor.textCursor();
  if (cursor.hasSelection() && m_selectionStyle && m_selectionStyle->anchor == cursor.anchor() &&
      m_selectionStyle->position == cursor.position()) {
    return m_selectionStyle->style;
  }
  return styleOf(cursor.charFormat());
}

void QtTextControl::setSelAttributes(CharStyle style) {
  QTextCursor cursor = m_editor.textCursor();
  // Without a selection this sets the cursor's insertion format; with one it styles the
  // selected text only, so the insertion style is remembered for as long as the selection stays.
  cursor.setCharFormat(formatOf(style));
  m_selectionStyle.reset();
  if (cursor.hasSelection()) m_selectionStyle = SelectionStyle{cursor.anchor(), cursor.position(), style};
  m_editor.setTextCursor(cursor);
}

CharStyle QtTextControl::styleAt(int position) const {
  const QTextDocument& document = *m_editor.document();
  needPosition(position);
  position = std::clamp(position, 0, writtenLength());
  const QTextBlock block = document.findBlock(position);
  if (position >= block.position() + block.length() - 1) return styleOf(block.charFormat());
  QTextCursor cursor(m_editor.document());
  // A cursor's format is that of the character before it.
  cursor.setPosition(position + 1);
  return styleOf(cursor.charFormat());
}

char16_t QtTextControl::characterAt(int position) const {
  needPosition(position);
  if (position < 0 || position >= writtenLength()) return 0;
  const QChar unit = m_editor.document()->characterAt(position);
  return unit == QChar::ParagraphSeparator ? char16_t{0} : unit.unicode();
}

void QtTextControl::scrollToCaret() { m_editor.ensureCursorVisible(); }

void QtTextControl::caretToEndOfLine() {
  if (m_sink) m_sink->keyDown(kVkEnd, KeyModifiers{});
  QTextCursor cursor = m_editor.textCursor();
  cursor.clearSelection();
  cursor.movePosition(QTextCursor::EndOfBlock);
  m_editor.setTextCursor(cursor);
}

void QtTextControl::clear() {
  // Written whole first, so that undoing the clear brings back the whole sheet.
  needWholeText();
  QTextCursor cursor(m_editor.document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  cursor.removeSelectedText();
  cursor.setBlockCharFormat(formatOf(defaultStyle()));
  cursor.setCharFormat(formatOf(defaultStyle()));
  cursor.endEditBlock();
  m_editor.setTextCursor(cursor);
}

void QtTextControl::saveContent(const std::string& path) const {
  // The face the pad was set to, which the sheet's readers substitute as this machine does.
  saveContentFile(path, content(), m_editor.font().family().toStdString());
}

void QtTextControl::loadContent(const std::string& path) {
  // Read first: a sheet that cannot be read leaves the pad as it was.
  StyledText lines = loadContentFile(path, defaultStyle());
  // What an earlier sheet had still to write goes with it.
  forgetUnwritten();
  adoptEmptyDocument();
  // Filled in the editor, not before: the editor lays out every line of a full document it is
  // given, while filling one it shows costs only the lines that show. Undo is off for the fill,
  // which is no step to undo, and stays off while its slices go in, since turning it on and off
  // again would empty the history of whatever was typed in between.
  QTextDocument& document = *m_editor.document();
  document.setUndoRedoEnabled(false);
  QTextCursor cursor(&document);
  const std::size_t first = std::min(lines.size(), kFirstLines);
  writeLines(cursor, lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
  // The editor kept the old cursor's insertion format; the caret takes the new text's.
  m_editor.setTextCursor(QTextCursor(&document));
  m_selectionStyle.reset();
  const std::size_t unwritten = lines.size() - first;
  followDocument(std::move(lines), unwritten);
  if (unwritten > 0) {
    m_unwritten.lines = m_mirror->snapshot();
    m_unwritten.next = std::next(m_unwritten.lines.begin(), static_cast<std::ptrdiff_t>(first));
    m_unwritten.left = unwritten;
    m_unwritten.slice = kFirstSlice;
    m_unwritten.timer.start(0);
  } else {
    document.setUndoRedoEnabled(true);
  }
  if (m_onContentChange) m_onContentChange();
}

void QtTextControl::writeMore(bool all) const {
  Unwritten& rest = m_unwritten;
  // The editor hears of the writing (its caret may move with it) and may ask again meanwhile.
  if (rest.left == 0 || rest.writing) return;
  rest.writing = true;
  QElapsedTimer clock;
  clock.start();
  QTextCursor cursor(m_editor.document());
  m_mirror->followWriting([&] {
    const std::size_t count = all ? rest.left : std::min(rest.left, rest.slice);
    DocumentFiller filler(cursor, DocumentFiller::Place::AfterTheEnd);
    for (std::size_t i = 0; i < count; ++i, ++rest.next) sendStyledLine(*rest.next, filler);
    filler.finish();
    rest.left -= count;
    return count;
  });
  rest.writing = false;
  if (!all) {
    const auto elapsed = static_cast<unsigned long long>(std::max<qint64>(clock.nsecsElapsed(), 1));
    // Growing at most twofold, so one quick slice on an idle moment does not make the next long.
    const std::size_t tuned = rest.slice * static_cast<unsigned long long>(kSliceNs) / elapsed;
    rest.slice = std::clamp<std::size_t>(std::min(tuned, rest.slice * 2), kSmallestSlice, kLargestSlice);
  }
  if (rest.left > 0) return;
  forgetUnwritten();
  m_editor.document()->setUndoRedoEnabled(true);
}

void QtTextControl::forgetUnwritten() const {
  m_unwritten.timer.stop();
  m_unwritten.left = 0;
  // The snapshot kept the mirror's chunks shared; edits copy none from here on.
  m_unwritten.next = {};
  m_unwritten.lines = ContentSnapshot{};
}

void QtTextControl::needLine(int n) const {
  if (writingSheet() && n >= m_editor.document()->blockCount()) writeMore(true);
}

void QtTextControl::needPosition(int position) const {
  if (writingSheet() && position > writtenLength()) writeMore(true);
}

void QtTextControl::needWholeText() const { writeMore(true); }

void QtTextControl::followCaretToTheEnd() {
  if (!writingSheet() || m_unwritten.writing) return;
  QTextCursor cursor = m_editor.textCursor();
  const int end = writtenLength();
  if (cursor.position() < end && cursor.anchor() < end) return;
  const int anchor = cursor.anchor();
  const int position = cursor.position();
  writeMore(true);
  const int newEnd = writtenLength();
  cursor.setPosition(anchor >= end ? newEnd : anchor);
  cursor.setPosition(position >= end ? newEnd : position, QTextCursor::KeepAnchor);
  m_editor.setTextCursor(cursor);
}

void QtTextControl::followDocument(StyledText lines, std::size_t unwritten) {
  m_mirror = std::make_unique<QtContentMirror>(
      *m_editor.document(), [this](const QTextBlock& block) { return lineOf(block); }, std::move(lines),
      unwritten);
  m_mirror->setOnChange(m_onContentChange);
}

void QtTextControl::adoptEmptyDocument() {
  const QTextDocument& shown = *m_editor.document();
  auto document = std::make_unique<QTextDocument>();
  document->setDefaultFont(shown.defaultFont());
  document->setDefaultTextOption(shown.defaultTextOption());
  document->setDocumentMargin(shown.documentMargin());
  document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
  QTextDocument* old = m_editor.document();
  // The editor deletes a document of its own making; one of ours is deleted here.
  const bool ours = old->parent() == &m_editor;
  m_mirror.reset();
  document->setParent(&m_editor);
  m_editor.setDocument(document.release());
  if (ours) delete old;
}

}  // namespace ormel
