#pragma once

#include <QTextEdit>
#include <set>

#include "scratchpad/text_control_port.h"

namespace ormel {

/// The modifier state of a Qt key event as the key rules see it.
[[nodiscard]] KeyModifiers keyModifiersOf(Qt::KeyboardModifiers modifiers);

/// The rich-text scratch pad: no wrap, a vertical scroll bar, plain-text paste with its lines
/// as paragraphs, Enter always a new paragraph, and Ctrl+Z / Ctrl+Y (and Ctrl+Shift+Z) for undo
/// and redo. Everything the key sink changes on a key release is one undo step.
class ScratchPadEdit : public QTextEdit {
  Q_OBJECT

 public:
  explicit ScratchPadEdit(QWidget* parent = nullptr);

  /// Where the keys go, in the order key down, character (which the sink may discard), the
  /// key's effect on the text, key up; none means the pad behaves as a plain editor. A release
  /// whose press the pad did not receive goes to the sink as a stray release.
  void setKeyEventSink(KeyEventSink* sink) { m_sink = sink; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  [[nodiscard]] bool canInsertFromMimeData(const QMimeData* source) const override;

 private:
  /// Applies a key to the text as the plain editor does, with the exceptions listed above.
  void applyKey(QKeyEvent* event);

  KeyEventSink* m_sink = nullptr;
  /// The keys pressed in the pad and not yet released, by scan code (by Qt key without one).
  std::set<quint32> m_keysDown;
};

}  // namespace ormel
