#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <array>

#include "app/app_window_port.h"
#include "ui/ormel_dialog.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ormel {

/// A filled rectangle showing a colour; it reports every mouse button pressed on it.
class ColorSwatch final : public QWidget {
  Q_OBJECT

 public:
  ColorSwatch(const QString& name, ColorPref preference, QSize size, QWidget* parent);

  /// The colour preference it edits.
  [[nodiscard]] ColorPref preference() const { return m_preference; }
  [[nodiscard]] QColor color() const { return m_color; }
  void setColor(const QColor& color);

 signals:
  void pressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  ColorPref m_preference;
  QColor m_color;
};

/// The preferences dialog, "Customize Preferences": font, caret placement, decimal places,
/// decimal separator and the four colours. Every choice but the separator goes into the store
/// at once; Ok stores the separator (a point when the field is empty; one that would make lines
/// unreadable is refused beside the field and the previous one kept) and applies background,
/// text colour and font to the scratch pad.
class TCustomizePreferences final : public OrmelDialog<PrefsDialog> {
 public:
  static constexpr int kClientWidth = 527;
  static constexpr int kClientHeight = 382;

  /// scratchPadFont is the scratch pad's font, whose face the font list selects; when that face
  /// is not installed, the list selects the family the pad shows in its place.
  TCustomizePreferences(QWidget* owner, QFont scratchPadFont);

  void Init(TOrmelPrefs& store) override;

  void FontsListSelect(int index);
  void CursorPlacementRadioClick(int number);
  void DecimalPlacesDropBoxSelect(int index);
  void ChangeColorMouseDown(ColorSwatch& swatch);
  void DefaultColorMouseDown(const ColorSwatch& defaultSwatch);
  void SettingsOkButtonClick();
  /// Escape, or the program closing the dialog: what is in the store stays and is applied as Ok
  /// applies it; a refused separator is dropped, keeping the previous one.
  void reject() override;

 private:
  /// Stores the separator field (a point when empty), applies the look and closes.
  void storeSeparatorAndClose();
  void buildFontBox(QWidget* parent, QGridLayout* layout);
  void buildCursorBox(QWidget* parent, QGridLayout* layout);
  void buildNumberBoxes(QWidget* parent, QGridLayout* layout);
  void buildColorBoxes(QWidget* parent, QGridLayout* layout);
  void storeColor(const ColorSwatch& swatch);
  /// Shows why the separator field's text is refused, or clears the message; true when refused.
  bool checkSeparatorField();

  TOrmelPrefs* m_store = nullptr;
  QFont m_scratchPadFont;
  /// The separator as the store held it when the dialog opened.
  QString m_previousSeparator;
  QComboBox* m_fontsList = nullptr;
  QLabel* m_sampleText = nullptr;
  std::array<QRadioButton*, 3> m_cursorButtons{};
  QComboBox* m_decimalPlaces = nullptr;
  QLineEdit* m_separatorEdit = nullptr;
  QLabel* m_separatorMessage = nullptr;
  std::array<ColorSwatch*, 4> m_colors{};
  std::array<ColorSwatch*, 4> m_defaultColors{};
  QPushButton* m_okButton = nullptr;
};

}  // namespace ormel
