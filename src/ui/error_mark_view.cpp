#include "ui/error_mark_view.h"

#include <QHelpEvent>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>

namespace ormel {

namespace {

/// Tells our extra selections from those others lay on the editor.
constexpr int kErrorMarkProperty = QTextFormat::UserProperty + 0x16b;

QTextCursor spanCursor(QTextDocument& document, const ErrorMark& mark) {
  const QTextBlock block = document.findBlockByNumber(mark.line);
  QTextCursor cursor(block);
  cursor.setPosition(block.position() + mark.span.start);
  cursor.setPosition(block.position() + mark.span.start + mark.span.length, QTextCursor::KeepAnchor);
  return cursor;
}

}  // namespace

ErrorMarkView::ErrorMarkView(QTextEdit& editor, ErrorMarks& marks) : m_editor(editor), m_marks(marks) {
  for (const ErrorMark& mark : m_marks.marks()) markAdded(mark);
  m_marks.setListener(this);
  connect(m_editor.document(), &QTextDocument::contentsChange, this, [this] { followEdit(); });
  m_editor.viewport()->installEventFilter(this);
}

ErrorMarkView::~ErrorMarkView() { m_marks.setListener(nullptr); }

void ErrorMarkView::markAdded(const ErrorMark& mark) {
  const QTextBlock block = m_editor.document()->findBlockByNumber(mark.line);
  if (!block.isValid()) return;
  m_anchors[mark.id] = QTextCursor(block);
  scheduleRedraw();
}

void ErrorMarkView::markRemoved(std::uint64_t id) {
  if (m_anchors.erase(id) > 0) scheduleRedraw();
}

void ErrorMarkView::followEdit() {
  if (m_anchors.empty()) return;
  m_marks.follow(
      [this](const ErrorMark& mark) {
        const auto anchor = m_anchors.find(mark.id);
        // A line joined to the one above leaves its anchor inside that line.
        if (anchor == m_anchors.end() || anchor->second.positionInBlock() != 0) return -1;
        return anchor->second.blockNumber();
      },
      [this](int line) { return m_editor.document()->findBlockByNumber(line).text().toStdString(); });
}

void ErrorMarkView::scheduleRedraw() {
  if (m_redrawPending) return;
  m_redrawPending = true;
  QTimer::singleShot(0, this, [this] { redraw(); });
}

void ErrorMarkView::redraw() {
  m_redrawPending = false;
  QList<QTextEdit::ExtraSelection> selections;
  for (const QTextEdit::ExtraSelection& other : m_editor.extraSelections()) {
    if (!other.format.hasProperty(kErrorMarkProperty)) selections.append(other);
  }
  QTextCharFormat wavy;
  wavy.setUnderlineStyle(QTextCharFormat::WaveUnderline);
  wavy.setUnderlineColor(Qt::red);
  wavy.setProperty(kErrorMarkProperty, true);
  for (const ErrorMark& mark : m_marks.marks()) {
    selections.append(QTextEdit::ExtraSelection{spanCursor(*m_editor.document(), mark), wavy});
  }
  m_editor.setExtraSelections(selections);
}

bool ErrorMarkView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_editor.viewport() || event->type() != QEvent::ToolTip) return false;
  const auto* help = static_cast<QHelpEvent*>(event);
  const int line = m_editor.cursorForPosition(help->pos()).blockNumber();
  const ErrorMark* mark = m_marks.markOf(line);
  if (mark != nullptr) {
    QTextCursor span = spanCursor(*m_editor.document(), *mark);
    const QRect end = m_editor.cursorRect(span);
    span.setPosition(span.anchor());
    const QRect start = m_editor.cursorRect(span);
    if (help->pos().x() >= start.left() && help->pos().x() <= end.right() && help->pos().y() >= start.top() &&
        help->pos().y() <= start.bottom()) {
      QToolTip::showText(help->globalPos(), QString::fromStdString(mark->message), m_editor.viewport());
      return true;
    }
  }
  QToolTip::hideText();
  return false;
}

}  // namespace ormel
