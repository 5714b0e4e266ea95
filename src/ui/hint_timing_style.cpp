#include "ui/hint_timing_style.h"

#include <QApplication>

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

}  // namespace ormel
