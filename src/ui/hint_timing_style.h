#pragma once

#include <QProxyStyle>

namespace ormel {

/// The application's style with the program's own hint timing: how long the pointer rests
/// before a hint (tooltip) shows. The toolbars' extension buttons get their icons on first use.
class HintTimingStyle : public QProxyStyle {
  Q_OBJECT

 public:
  /// Takes base over.
  explicit HintTimingStyle(QStyle* base);

  /// The style that application uses; installs one when it has none.
  static HintTimingStyle& installed();

  void setWakeUpDelay(int milliseconds) { m_wakeUpDelay = milliseconds; }

  int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                QStyleHintReturn* returnData = nullptr) const override;

  /// The base style's icon; the extension buttons' icons are made when first painted.
  QIcon standardIcon(StandardPixmap pixmap, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;

 private:
  int m_wakeUpDelay = -1;
};

}  // namespace ormel
