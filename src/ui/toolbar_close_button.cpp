#include "ui/toolbar_close_button.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QToolBar>

namespace ormel {

ToolbarCloseButton::ToolbarCloseButton(QToolBar& toolbar) : QToolButton(&toolbar), m_toolbar(toolbar) {
  setObjectName(toolbar.objectName() + QStringLiteral("Close"));
  setToolTip(QStringLiteral("Close ") + toolbar.windowTitle());
  setCursor(Qt::ArrowCursor);
  setFocusPolicy(Qt::NoFocus);
  connect(this, &QToolButton::clicked, &toolbar, &QToolBar::hide);
  toolbar.installEventFilter(this);
  placeInHandle();
}

bool ToolbarCloseButton::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &m_toolbar && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest ||
                                event->type() == QEvent::Show)) {
    placeInHandle();
  }
  return QToolButton::eventFilter(watched, event);
}

void ToolbarCloseButton::placeInHandle() {
  const QStyle& style = *m_toolbar.style();
  const int margin = style.pixelMetric(QStyle::PM_ToolBarItemMargin, nullptr, &m_toolbar) +
                     style.pixelMetric(QStyle::PM_ToolBarFrameWidth, nullptr, &m_toolbar);
  const int extent = style.pixelMetric(QStyle::PM_ToolBarHandleExtent, nullptr, &m_toolbar);
  setGeometry(margin, margin, extent, extent);
  setVisible(m_toolbar.isMovable());
  raise();
}

void ToolbarCloseButton::paintEvent(QPaintEvent* /*event*/) {
  // A plain cross: the style's close icon is unreadable at the handle's width.
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(underMouse() ? QPalette::Midlight : QPalette::Button));
  QPen pen(palette().color(isDown() ? QPalette::Highlight : QPalette::ButtonText));
  pen.setWidthF(1.5);
  painter.setPen(pen);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF cross = QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5);
  painter.drawLine(cross.topLeft(), cross.bottomRight());
  painter.drawLine(cross.topRight(), cross.bottomLeft());
}

}  // namespace ormel
