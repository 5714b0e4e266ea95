#include "ui/completion_popup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>
#include <utility>

#include "ui/scratch_pad_edit.h"

namespace ormel {

namespace {

constexpr int kVisibleRows = 8;

bool continuesName(const QString& text) {
  if (text.size() != 1) return false;
  const QChar c = text.front();
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

CompletionPopup::CompletionPopup(ScratchPadEdit& pad, NameCompleter& completer, Run run)
    : m_pad(pad), m_completer(completer), m_run(std::move(run)) {
  connect(&m_pad, &ScratchPadEdit::keyTyped, this, &CompletionPopup::keyTyped);
  connect(&m_pad, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (isShown() && m_pad.textCursor().position() != m_caret) hide();
  });
  connect(m_pad.verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { hide(); });
  connect(m_pad.horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { hide(); });
  // Ahead of the window's command keys, which would take Esc for Clear Screen.
  qApp->installEventFilter(this);
}

CompletionPopup::~CompletionPopup() {
  // The list's own destruction sends events through the filter: it must not find a half-gone list.
  qApp->removeEventFilter(this);
  delete std::exchange(m_list, nullptr);
}

bool CompletionPopup::isShown() const { return m_list != nullptr && m_list->isVisible(); }

void CompletionPopup::keyTyped(const QString& text, int key) {
  if (continuesName(text) || (isShown() && (key == Qt::Key_Backspace || key == Qt::Key_Delete))) {
    refresh();
  } else {
    hide();
  }
}

void CompletionPopup::refresh() {
  m_choices = m_completer.choicesAtCaret();
  if (m_choices.empty()) {
    hide();
    return;
  }
  if (m_list == nullptr) {
    // Made on first use, so that the window starts without it.
    m_list = new QListWidget(&m_pad);
    m_list->setObjectName(QStringLiteral("CompletionList"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setUniformItemSizes(true);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { accept(m_list->row(item)); });
  }
  m_list->clear();
  for (const NameCompletion& choice : m_choices) m_list->addItem(QString::fromStdString(choice.label));
  m_list->setCurrentRow(0);
  m_caret = m_pad.textCursor().position();
  place();
  m_list->show();
  m_list->raise();
}

void CompletionPopup::place() {
  const int rows = std::min<int>(kVisibleRows, static_cast<int>(m_choices.size()));
  const int frame = 2 * m_list->frameWidth();
  const int height = rows * m_list->sizeHintForRow(0) + frame;
  const int scrollBar =
      static_cast<int>(m_choices.size()) > rows ? m_list->verticalScrollBar()->sizeHint().width() : 0;
  const int width = std::min(m_list->sizeHintForColumn(0) + frame + scrollBar + 8, m_pad.width());
  const QRect caret = m_pad.cursorRect().translated(m_pad.viewport()->pos());
  // Under the caret when it fits, else above it; never outside the pad.
  int top = caret.bottom() + 1;
  if (top + height > m_pad.height() && caret.top() - height >= 0) top = caret.top() - height;
  const int left = std::clamp(caret.left(), 0, std::max(0, m_pad.width() - width));
  m_list->setGeometry(left, std::max(0, std::min(top, m_pad.height() - height)), width, height);
}

void CompletionPopup::hide() {
  if (m_list != nullptr) m_list->hide();
  m_choices.clear();
}

void CompletionPopup::accept(int row) {
  if (row < 0 || row >= static_cast<int>(m_choices.size())) return;
  const NameCompletion choice = m_choices[static_cast<std::size_t>(row)];
  hide();
  m_run([&] {
    // One undo step, as a key's changes are.
    QTextCursor step(m_pad.document());
    step.beginEditBlock();
    m_completer.accept(choice);
    step.endEditBlock();
  });
  m_pad.ensureCursorVisible();
}

bool CompletionPopup::takeKey(int key, Qt::KeyboardModifiers modifiers, bool press) {
  if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  switch (key) {
    case Qt::Key_Tab:
      if (press) accept(m_list->currentRow());
      return true;
    case Qt::Key_Escape:
      if (press) hide();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (press) {
        const int step = key == Qt::Key_Up ? -1 : 1;
        m_list->setCurrentRow(std::clamp(m_list->currentRow() + step, 0, m_list->count() - 1));
      }
      return true;
    default:
      return false;
  }
}

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == &m_pad && (type == QEvent::FocusOut || type == QEvent::Resize)) hide();
  if (watched != &m_pad || !isShown()) return false;
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    // Enter keeps its meaning: the line is finished.
    if (type == QEvent::KeyPress) hide();
    return false;
  }
  if (!takeKey(key->key(), key->modifiers(), type == QEvent::KeyPress)) return false;
  event->accept();
  return true;
}

}  // namespace ormel
