#include "ui/scratch_pad_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "ui/key_codes.h"

namespace ormel {

ScratchPadEdit::ScratchPadEdit(QWidget* parent) : QTextEdit(parent) {
  setObjectName(QStringLiteral("ScratchPad"));
  setLineWrapMode(QTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setAcceptRichText(false);
  setTabChangesFocus(true);
  QFont padFont(QStringLiteral("Verdana"));
  padFont.setPixelSize(13);
  padFont.setBold(true);
  setFont(padFont);
}

void ScratchPadEdit::clearUndoably() {
  QTextCursor cursor(document());
  cursor.select(QTextCursor::Document);
  cursor.removeSelectedText();
  // The emptied pad keeps no paragraph format or colour of what was there.
  cursor.setBlockCharFormat(QTextCharFormat());
  setTextCursor(cursor);
}

void ScratchPadEdit::keyPressEvent(QKeyEvent* event) {
  if (m_handler == nullptr) {
    applyKey(event);
    return;
  }
  m_handler->keyDown(virtualKeyOf(*event), event->modifiers());
  const QString character = event->text();
  const bool producesCharacter = !character.isEmpty() && (character.at(0).isPrint() || character == "\r");
  if (producesCharacter && !m_handler->keyPress(character)) return;
  applyKey(event);
}

void ScratchPadEdit::keyReleaseEvent(QKeyEvent* event) {
  // Held keys repeat their presses; the rules see one release, when the key comes up.
  if (m_handler == nullptr || event->isAutoRepeat()) {
    QTextEdit::keyReleaseEvent(event);
    return;
  }
  QTextCursor block(document());
  block.beginEditBlock();
  m_handler->keyUp(virtualKeyOf(*event), event->modifiers());
  block.endEditBlock();
  ensureCursorVisible();
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
  QTextEdit::keyPressEvent(event);
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
