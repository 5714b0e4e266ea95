#include "ui/scratch_pad_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "ui/key_codes.h"

namespace ormel {

KeyModifiers keyModifiersOf(Qt::KeyboardModifiers modifiers) {
  return KeyModifiers{modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
                      modifiers.testFlag(Qt::AltModifier)};
}

ScratchPadEdit::ScratchPadEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("ScratchPad"));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setTabChangesFocus(true);
  QFont padFont(QStringLiteral("Verdana"));
  padFont.setPixelSize(13);
  padFont.setBold(true);
  setFont(padFont);
  // Expressions run left to right. Saying so also spares the layout reading every later line
  // for its direction after each key, which halves a key's cost in a long pad.
  QTextOption option = document()->defaultTextOption();
  option.setTextDirection(Qt::LeftToRight);
  document()->setDefaultTextOption(option);
}

namespace {

/// The physical key, the same for its press and its release whatever the modifiers did between.
quint32 physicalKeyOf(const QKeyEvent& event) {
  return event.nativeScanCode() != 0 ? event.nativeScanCode()
                                     : static_cast<quint32>(event.key()) | 0x80000000U;
}

}  // namespace

void ScratchPadEdit::keyPressEvent(QKeyEvent* event) {
  m_keysDown.insert(physicalKeyOf(*event));
  pressKey(event);
  emit keyTyped(event->text(), event->key());
}

void ScratchPadEdit::pressKey(QKeyEvent* event) {
  if (m_sink == nullptr) {
    applyKey(event);
    return;
  }
  const KeyModifiers modifiers = keyModifiersOf(event->modifiers());
  m_sink->keyDown(virtualKeyOf(*event), modifiers);
  // Characters that become text go past the character rule; control characters (what Ctrl+letter
  // types on most keyboards) never become text.
  const QString text = event->text();
  const char32_t character = text.isEmpty() ? 0 : text.toUcs4().front();
  const bool becomesText = character == U'\r' || character == U'\t' || character == U'\b' ||
                           (character >= 0x20 && character != 0x7F);
  if (becomesText && !m_sink->keyPress(character, modifiers)) {
    // The character is discarded, yet the key still does what the editor does with it: Ctrl+Z
    // undoes, Ctrl+C copies.
    QKeyEvent withoutText(event->type(), event->key(), event->modifiers(), QString(), event->isAutoRepeat(),
                          event->count());
    applyKey(&withoutText);
    return;
  }
  applyKey(event);
}

void ScratchPadEdit::keyReleaseEvent(QKeyEvent* event) {
  // A held key repeats its press; the rules see one release, when the key comes up.
  if (m_sink == nullptr || event->isAutoRepeat()) {
    QPlainTextEdit::keyReleaseEvent(event);
    return;
  }
  if (m_keysDown.erase(physicalKeyOf(*event)) == 0) {
    // The press went to another window or widget, typically the Enter that closed a dialog:
    // acting on it would finish the pad's line a second time.
    m_sink->strayKeyUp(virtualKeyOf(*event), keyModifiersOf(event->modifiers()));
    return;
  }
  QTextCursor step(document());
  step.beginEditBlock();
  m_sink->keyUp(virtualKeyOf(*event), keyModifiersOf(event->modifiers()));
  step.endEditBlock();
}

void ScratchPadEdit::focusOutEvent(QFocusEvent* event) {
  // A key held while the focus went elsewhere comes up there; a later release here of the same
  // key (the Enter that closes a dialog) would otherwise be taken for it.
  m_keysDown.clear();
  QPlainTextEdit::focusOutEvent(event);
}

void ScratchPadEdit::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  if (!m_overlay) return;
  QPainter painter(viewport());
  painter.setClipRect(event->rect());
  m_overlay(painter, event->rect());
}

void ScratchPadEdit::applyKey(QKeyEvent* event) {
  const int key = event->key();
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    // Shift+Enter would make a soft break inside the paragraph; a line is a paragraph here.
    if (!(modifiers & Qt::ControlModifier)) {
      QTextCursor cursor = textCursor();
      cursor.insertBlock();
      setTextCursor(cursor);
      ensureCursorVisible();
    }
    return;
  }
  if (modifiers == Qt::ControlModifier && key == Qt::Key_Y) {
    redo();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

bool ScratchPadEdit::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void ScratchPadEdit::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  QString text = source->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  text.replace(QChar::LineSeparator, QChar('\n'));
  text.replace(QChar::ParagraphSeparator, QChar('\n'));
  QTextCursor cursor = textCursor();
  cursor.insertText(text);
  setTextCursor(cursor);
  ensureCursorVisible();
}

}  // namespace ormel
