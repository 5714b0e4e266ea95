#include "ui/lazy_icon_engine.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "ui/hint_timing_style.h"

using ormel::HintTimingStyle;
using ormel::LazyIconEngine;

namespace {

/// A two-size icon whose pictures tell the sizes apart.
QIcon realIcon() {
  QIcon icon;
  QPixmap small(16, 16);
  small.fill(Qt::red);
  QPixmap large(32, 32);
  large.fill(Qt::blue);
  icon.addPixmap(small);
  icon.addPixmap(large);
  return icon;
}

QImage painted(const std::function<void(QPainter&)>& paint) {
  QImage image(24, 24, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  paint(painter);
  return image;
}

using Request = std::function<QVariant(QIcon&)>;

/// The base style, counting how often it is asked for a toolbar extension icon.
class CountingStyle : public QProxyStyle {
 public:
  CountingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
  QIcon standardIcon(StandardPixmap pixmap, const QStyleOption* option,
                     const QWidget* widget) const override {
    if (pixmap == SP_ToolBarHorizontalExtensionButton || pixmap == SP_ToolBarVerticalExtensionButton) ++made;
    return QProxyStyle::standardIcon(pixmap, option, widget);
  }
  mutable int made = 0;
};

}  // namespace

Q_DECLARE_METATYPE(Request)

class LazyIconEngineTest : public QObject {
  Q_OBJECT

 private slots:
  void aRequestMakesTheIconOnceAndGetsItsAnswer_data();
  void aRequestMakesTheIconOnceAndGetsItsAnswer();
  void copiesAndClonesLeaveTheIconUnmade();
  void extensionButtonsGetTheBaseStylesIconWhenFirstPainted();
};

void LazyIconEngineTest::aRequestMakesTheIconOnceAndGetsItsAnswer_data() {
  QTest::addColumn<Request>("request");
  QTest::newRow("pixmap") << Request([](QIcon& icon) { return QVariant(icon.pixmap(16).toImage()); });
  QTest::newRow("pixmap at a device pixel ratio")
      << Request([](QIcon& icon) { return QVariant(icon.pixmap(QSize(16, 16), 2.0).toImage()); });
  QTest::newRow("actual size") << Request(
      [](QIcon& icon) { return QVariant(icon.actualSize(QSize(40, 40))); });
  QTest::newRow("available sizes") << Request(
      [](QIcon& icon) { return QVariant::fromValue(icon.availableSizes()); });
  QTest::newRow("null") << Request([](QIcon& icon) { return QVariant(icon.isNull()); });
  QTest::newRow("paint") << Request([](QIcon& icon) {
    return QVariant(painted([&](QPainter& painter) { icon.paint(&painter, QRect(4, 4, 16, 16)); }));
  });
}

void LazyIconEngineTest::aRequestMakesTheIconOnceAndGetsItsAnswer() {
  QFETCH(Request, request);
  int made = 0;
  auto* engine = new LazyIconEngine([&made] {
    ++made;
    return realIcon();
  });
  QIcon lazy(engine);
  QCOMPARE(made, 0);
  QIcon real = realIcon();
  QCOMPARE(request(lazy), request(real));
  QCOMPARE(made, 1);
  QVERIFY(engine->made());
  QCOMPARE(request(lazy), request(real));
  QCOMPARE(made, 1);
}

void LazyIconEngineTest::copiesAndClonesLeaveTheIconUnmade() {
  int made = 0;
  const LazyIconEngine engine([&made] {
    ++made;
    return realIcon();
  });
  std::unique_ptr<QIconEngine> clone(engine.clone());
  QIcon icon(clone.release());
  const QIcon copy = icon;
  QCOMPARE(made, 0);
  QCOMPARE(copy.pixmap(32).toImage(), realIcon().pixmap(32).toImage());
  QCOMPARE(made, 1);
}

void LazyIconEngineTest::extensionButtonsGetTheBaseStylesIconWhenFirstPainted() {
  auto* base = new CountingStyle;
  auto* style = new HintTimingStyle(base);
  QApplication::setStyle(style);
  QWidget window;
  auto* toolbar = new QToolBar(&window);
  toolbar->addAction(QStringLiteral("action"));
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto* extension = toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
  QVERIFY(extension != nullptr);
  QCOMPARE(base->made, 0);
  QStyleOption option;
  option.initFrom(extension);
  const QIcon expected =
      base->QProxyStyle::standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &option);
  QCOMPARE(extension->icon().pixmap(16).toImage(), expected.pixmap(16).toImage());
  QCOMPARE(base->made, 1);
  QCOMPARE(style->standardIcon(QStyle::SP_DialogOkButton).pixmap(16).toImage(),
           base->standardIcon(QStyle::SP_DialogOkButton, nullptr, nullptr).pixmap(16).toImage());
}

QTEST_MAIN(LazyIconEngineTest)
#include "lazy_icon_engine_test.moc"
