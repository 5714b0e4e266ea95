#pragma once

#include <QTextEdit>

#include <functional>

namespace ormel {

/// What the scratch pad reports of each key, in the order the key rules expect: key down (the
/// key's virtual-key code and modifiers), then the character for keys that produce one (which
/// the handler may discard), then the key's effect on the text, then key up.
class ScratchPadKeyHandler {
 public:
  virtual ~ScratchPadKeyHandler() = default;
  virtual void keyDown(int virtualKey, Qt::KeyboardModifiers modifiers) = 0;
  /// False discards the character: the text never sees it.
  [[nodiscard]] virtual bool keyPress(const QString& character) = 0;
  virtual void keyUp(int virtualKey, Qt::KeyboardModifiers modifiers) = 0;
};

/// The rich-text scratch pad: no wrap, a vertical scroll bar, plain-text paste with its lines
/// as paragraphs, Enter always a new paragraph, and Ctrl+Z / Ctrl+Y (and Ctrl+Shift+Z) for undo
/// and redo. Everything a key handler changes on a key release is one undo step.
class ScratchPadEdit : public QTextEdit {
  Q_OBJECT

 public:
  explicit ScratchPadEdit(QWidget* parent = nullptr);

  /// The handler that sees the keys; none means the pad behaves as a plain editor.
  void setKeyHandler(ScratchPadKeyHandler* handler) { m_handler = handler; }

  /// Empties the pad as one undoable step (QTextEdit::clear would forget the undo history).
  void clearUndoably();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  [[nodiscard]] bool canInsertFromMimeData(const QMimeData* source) const override;

 private:
  /// Applies a key to the text as the plain editor does, with the exceptions listed above.
  void applyKey(QKeyEvent* event);

  ScratchPadKeyHandler* m_handler = nullptr;
};

}  // namespace ormel
