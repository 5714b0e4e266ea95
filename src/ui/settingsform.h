#pragma once

#include "app/app_window_port.h"
#include "ui/ormel_dialog.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace ormel {

class BrokenLinesLabel;

/// The switches dialog, "Customize Settings": the list of switches, the chosen one's
/// description, and True/False buttons that change the store at once; the default value is
/// marked by a glow. Ok applies "AlwaysOnTop" to the main window.
class TCustomizeSettings final : public OrmelDialog<SettingsDialog> {
 public:
  static constexpr int kClientWidth = 227;
  static constexpr int kClientHeight = 377;

  explicit TCustomizeSettings(QWidget* owner);

  void FillList(TOrmelSettings& store) override;

  void EditSettingsBoxClick();
  void SettingTrueRadioBtnClick();
  void SettingFalseRadioBtnClick();
  void SettingsOkButtonClick();
  /// Escape, or the program closing the dialog, closes it as Ok does: the store already holds
  /// every click, and the main window's stay-on-top state follows it.
  void reject() override;

 private:
  void setSelectedValue(bool value);

  TOrmelSettings* m_store = nullptr;
  QListWidget* m_editSettingsBox;
  BrokenLinesLabel* m_descriptionLabel;
  QRadioButton* m_trueButton;
  QRadioButton* m_falseButton;
  QLabel* m_defaultLabel;
  QPushButton* m_okButton;
};

/// Marks a widget with the soft glow below and right of its text that shows a default value,
/// or takes the mark off.
void setDefaultGlow(QWidget& widget, bool on);

}  // namespace ormel
