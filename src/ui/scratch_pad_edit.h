#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <set>

#include "scratchpad/text_control_port.h"

namespace ormel {

/// The modifier state of a Qt key event as the key rules see it.
[[nodiscard]] KeyModifiers keyModifiersOf(Qt::KeyboardModifiers modifiers);

/// The rich-text scratch pad: no wrap, a vertical scroll bar, plain-text paste with its lines
/// as paragraphs, Enter always a new paragraph, and Ctrl+Z / Ctrl+Y (and Ctrl+Shift+Z) for undo
/// and redo. Everything the key sink changes on a key release is one undo step.
class ScratchPadEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ScratchPadEdit(QWidget* parent = nullptr);

  /// Where the keys go, in the order key down, character (which the sink may discard), the
  /// key's effect on the text, key up; none means the pad behaves as a plain editor. A release
  /// whose press the pad did not receive goes to the sink as a stray release.
  void setKeyEventSink(KeyEventSink* sink) { m_sink = sink; }
  /// Paints over the text after each repaint of the given part of the viewport; none for none.
  void setOverlayPainter(std::function<void(QPainter&, const QRect&)> painter) {
    m_overlay = std::move(painter);
  }

 signals:
  /// A key has been pressed and has done its work on the text; text is what it typed, if any.
  void keyTyped(const QString& text, int key);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  [[nodiscard]] bool canInsertFromMimeData(const QMimeData* source) const override;

 private:
  /// The key's press as the sink and the editor see it.
  void pressKey(QKeyEvent* event);
  /// Applies a key to the text as the plain editor does, with the exceptions listed above.
  void applyKey(QKeyEvent* event);

  KeyEventSink* m_sink = nullptr;
  std::function<void(QPainter&, const QRect&)> m_overlay;
  /// The keys pressed in the pad and not yet released, by scan code (by Qt key without one).
  std::set<quint32> m_keysDown;
};

}  // namespace ormel
