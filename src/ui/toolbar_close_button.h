#pragma once

#include <QToolButton>

class QToolBar;

namespace ormel {

/// A toolbar's own close button. It sits in the toolbar's handle, above the grip, so that it
/// takes no room from the toolbar's widgets; clicking it hides the toolbar.
class ToolbarCloseButton final : public QToolButton {
  Q_OBJECT

 public:
  /// Becomes a child of toolbar, named after it with "Close" appended.
  explicit ToolbarCloseButton(QToolBar& toolbar);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  /// Moves the button to the top (horizontal) or left (vertical) end of the handle.
  void placeInHandle();

  QToolBar& m_toolbar;
};

}  // namespace ormel
