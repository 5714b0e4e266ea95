#include "ui/error_mark_view.h"

#include <QHelpEvent>
#include <QPainter>
#include <QTextBlock>
#include <QToolTip>
#include <algorithm>

#include "ui/scratch_pad_edit.h"

namespace ormel {

namespace {

constexpr int kWaveHeight = 2;
constexpr int kWaveLength = 4;

}  // namespace

ErrorMarkView::ErrorMarkView(ScratchPadEdit& editor, ErrorMarks& marks) : m_editor(editor), m_marks(marks) {
  for (const ErrorMark& mark : m_marks.marks()) markAdded(mark);
  m_editor.setOverlayPainter([this](QPainter& painter, const QRect& area) { paintMarks(painter, area); });
  m_marks.setListener(this);
  // The editor's signal, since a sheet opened replaces the document.
  connect(&m_editor, &QPlainTextEdit::textChanged, this, [this] { followEdit(); });
  m_editor.viewport()->installEventFilter(this);
}

ErrorMarkView::~ErrorMarkView() {
  m_marks.setListener(nullptr);
  m_editor.setOverlayPainter(nullptr);
}

void ErrorMarkView::markAdded(const ErrorMark& mark) {
  const QTextBlock block = m_editor.document()->findBlockByNumber(mark.line);
  if (!block.isValid()) return;
  m_anchors[mark.id] = QTextCursor(block);
  // Marks come in bursts (a whole sheet evaluated); Qt repaints once afterwards.
  m_editor.viewport()->update();
}

void ErrorMarkView::markRemoved(std::uint64_t id) {
  if (m_anchors.erase(id) > 0) m_editor.viewport()->update();
}

void ErrorMarkView::release() {
  m_held = false;
  m_anchors.clear();
  for (const ErrorMark& mark : m_marks.marks()) markAdded(mark);
  followEdit();
}

void ErrorMarkView::followEdit() {
  if (m_held || m_marks.marks().empty()) return;
  m_marks.follow(
      [this](const ErrorMark& mark) {
        const auto anchor = m_anchors.find(mark.id);
        // A line joined to the one above leaves its anchor inside that line.
        if (anchor == m_anchors.end() || anchor->second.positionInBlock() != 0) return -1;
        return anchor->second.blockNumber();
      },
      [this](int line) { return m_editor.document()->findBlockByNumber(line).text().toStdString(); });
}

QRect ErrorMarkView::spanRect(const ErrorMark& mark) const {
  const QTextBlock block = m_editor.document()->findBlockByNumber(mark.line);
  QTextCursor cursor(block);
  cursor.setPosition(block.position() + mark.span.start);
  const QRect start = m_editor.cursorRect(cursor);
  cursor.setPosition(block.position() + mark.span.start + mark.span.length);
  return QRect(QPoint(start.left(), start.top()), QPoint(m_editor.cursorRect(cursor).left(), start.bottom()));
}

void ErrorMarkView::paintMarks(QPainter& painter, const QRect& area) const {
  const std::vector<ErrorMark>& marks = m_marks.marks();
  if (marks.empty()) return;
  // Only the lines that show: a sheet may hold thousands of marks.
  const int first = m_editor.cursorForPosition(QPoint(0, 0)).blockNumber();
  const int last = m_editor.cursorForPosition(QPoint(0, m_editor.viewport()->height())).blockNumber();
  auto mark = std::lower_bound(marks.begin(), marks.end(), first,
                               [](const ErrorMark& each, int line) { return each.line < line; });
  painter.setPen(QPen(Qt::red, 1));
  for (; mark != marks.end() && mark->line <= last; ++mark) {
    const QRect span = spanRect(*mark);
    if (!span.intersects(area.adjusted(0, -kWaveHeight, 0, kWaveHeight))) continue;
    QPolygon wave;
    const int bottom = span.bottom();
    for (int x = span.left(), step = 0; x <= span.right(); x += kWaveLength / 2, ++step) {
      wave << QPoint(x, step % 2 == 0 ? bottom : bottom - kWaveHeight);
    }
    painter.drawPolyline(wave);
  }
}

bool ErrorMarkView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_editor.viewport() || event->type() != QEvent::ToolTip) return false;
  const auto* help = static_cast<QHelpEvent*>(event);
  const int line = m_editor.cursorForPosition(help->pos()).blockNumber();
  const ErrorMark* mark = m_marks.markOf(line);
  if (mark != nullptr && spanRect(*mark).contains(help->pos())) {
    QToolTip::showText(help->globalPos(), QString::fromStdString(mark->message), m_editor.viewport());
    return true;
  }
  QToolTip::hideText();
  return false;
}

}  // namespace ormel
