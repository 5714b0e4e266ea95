#include "ui/hint_timing_style.h"

#include <QApplication>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>
#include <optional>

#include "ui/lazy_icon_engine.h"

namespace ormel {

HintTimingStyle::HintTimingStyle(QStyle* base) : QProxyStyle(base) {}

HintTimingStyle& HintTimingStyle::installed() {
  if (auto* style = qobject_cast<HintTimingStyle*>(QApplication::style())) return *style;
  // Wraps the style the application already made, so that it is not made a second time.
  auto* style = new HintTimingStyle(QApplication::style());
  QApplication::setStyle(style);
  return *style;
}

int HintTimingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const {
  if (hint == SH_ToolTip_WakeUpDelay && m_wakeUpDelay >= 0) return m_wakeUpDelay;
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

QIcon HintTimingStyle::standardIcon(StandardPixmap pixmap, const QStyleOption* option,
                                    const QWidget* widget) const {
  if (pixmap != SP_ToolBarHorizontalExtensionButton && pixmap != SP_ToolBarVerticalExtensionButton) {
    return QProxyStyle::standardIcon(pixmap, option, widget);
  }
  // Every toolbar makes its extension button's icon at once, and the first one read makes Qt
  // open every image-format plugin; the button shows only when a toolbar is too narrow.
  std::optional<QStyleOption> place;
  if (option != nullptr) place = *option;
  return QIcon(new LazyIconEngine(
      [style = QPointer<const HintTimingStyle>(this), pixmap, place, on = QPointer<const QWidget>(widget)] {
        const QStyleOption* const at = place ? &*place : nullptr;
        // A style replaced in the meantime leaves the icon to the one that took its place.
        if (!style) return QApplication::style()->standardIcon(pixmap, at, on.data());
        return style->QProxyStyle::standardIcon(pixmap, at, on.data());
      }));
}

}  // namespace ormel
