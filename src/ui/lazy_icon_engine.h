#pragma once

#include <QIcon>
#include <QIconEngine>
#include <functional>
#include <optional>

namespace ormel {

/// An icon made only when it is first needed (painted, or asked for a size or a picture): the
/// icon of a button that mostly stays hidden costs nothing at start-up. Until then nothing of
/// the real icon is read; afterwards every request goes to it.
class LazyIconEngine : public QIconEngine {
 public:
  /// make returns the real icon; it is called once, on the first request.
  explicit LazyIconEngine(std::function<QIcon()> make);

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
  QString iconName() override;
  bool isNull() override;
  [[nodiscard]] QString key() const override;
  [[nodiscard]] QIconEngine* clone() const override;

  /// Whether the real icon has been made.
  [[nodiscard]] bool made() const { return m_icon.has_value(); }

 private:
  const QIcon& icon();

  std::function<QIcon()> m_make;
  std::optional<QIcon> m_icon;
};

}  // namespace ormel
