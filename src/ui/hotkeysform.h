#pragma once

#include "app/app_window_port.h"
#include "ui/ormel_dialog.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace ormel {

class BrokenLinesLabel;

/// The hot keys dialog, "Customize Hotkeys": the "ormelCuts" commands in alphabetical order
/// and a shortcut box. Every change of the box's text, typed or chosen, sets the shortcut of
/// the selected command at once; text that names no key yet removes it.
class TCustomizeHotkeys final : public OrmelDialog<HotkeysDialog> {
 public:
  static constexpr int kClientWidth = 228;
  static constexpr int kClientHeight = 355;

  explicit TCustomizeHotkeys(QWidget* owner);

  void FillList(ActionList& actions) override;

  void EditHotKeysBoxClick();
  void EditHotKeysEditBoxChange(const QString& text);
  void HotkeysOkButtonClick();

 private:
  ActionList* m_actions = nullptr;
  QListWidget* m_editHotKeysBox;
  BrokenLinesLabel* m_descriptionLabel;
  QComboBox* m_editHotKeysEditBox;
  QPushButton* m_okButton;
};

}  // namespace ormel
