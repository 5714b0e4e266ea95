#include "ui/lazy_icon_engine.h"

#include <utility>

namespace ormel {

LazyIconEngine::LazyIconEngine(std::function<QIcon()> make) : m_make(std::move(make)) {}

const QIcon& LazyIconEngine::icon() {
  if (!m_icon) m_icon = m_make();
  return *m_icon;
}

void LazyIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) {
  icon().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QSize LazyIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  return icon().actualSize(size, mode, state);
}

QPixmap LazyIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  return icon().pixmap(size, mode, state);
}

QPixmap LazyIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) {
  return icon().pixmap(size, scale, mode, state);
}

QList<QSize> LazyIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
  return icon().availableSizes(mode, state);
}

QString LazyIconEngine::iconName() { return icon().name(); }

bool LazyIconEngine::isNull() { return icon().isNull(); }

QString LazyIconEngine::key() const { return QStringLiteral("ormel.lazy"); }

QIconEngine* LazyIconEngine::clone() const { return new LazyIconEngine(*this); }

}  // namespace ormel
