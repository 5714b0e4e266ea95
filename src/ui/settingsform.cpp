#include "ui/settingsform.h"

#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/utility_routines.h"
#include "ui/dialog_parts.h"

namespace ormel {

void setDefaultGlow(QWidget& widget, bool on) {
  if (!on) {
    widget.setGraphicsEffect(nullptr);
    return;
  }
  auto* glow = new QGraphicsDropShadowEffect(&widget);
  glow->setOffset(2, 2);
  glow->setBlurRadius(6);
  glow->setColor(QColor(255, 170, 0, 220));
  widget.setGraphicsEffect(glow);
}

TCustomizeSettings::TCustomizeSettings(QWidget* owner)
    : OrmelDialog(owner, QStringLiteral("Customize Settings"), kClientWidth, kClientHeight, false) {
  setObjectName(QStringLiteral("CustomizeSettings"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);

  const ListWithDescription parts = addListWithDescription(
      *layout, this, QStringLiteral("SettingsGroupBox"), QStringLiteral("Available Settings"),
      QStringLiteral("EditSettingsBox"), QStringLiteral("Setting Description"));
  m_editSettingsBox = parts.list;
  m_descriptionLabel = parts.description;

  QGroupBox* valueBox =
      groupBox(QStringLiteral("SettingsEditGroupBox"), QStringLiteral("Setting Value"), this);
  m_trueButton = new QRadioButton(QStringLiteral("True"), valueBox);
  m_trueButton->setObjectName(QStringLiteral("SettingTrueRadioBtn"));
  m_falseButton = new QRadioButton(QStringLiteral("False"), valueBox);
  m_falseButton->setObjectName(QStringLiteral("SettingFalseRadioBtn"));
  m_defaultLabel = new QLabel(QStringLiteral("default value"), valueBox);
  m_defaultLabel->setObjectName(QStringLiteral("DefaultLabel"));
  setDefaultGlow(*m_defaultLabel, true);
  auto* valueLayout = new QGridLayout(valueBox);
  valueLayout->addWidget(m_trueButton, 0, 0);
  valueLayout->addWidget(m_defaultLabel, 0, 1, Qt::AlignRight | Qt::AlignTop);
  valueLayout->addWidget(m_falseButton, 1, 0);
  layout->addWidget(valueBox);

  m_okButton = new QPushButton(QStringLiteral("Ok"), this);
  m_okButton->setObjectName(QStringLiteral("SettingsOkButton"));
  m_okButton->setDefault(true);
  layout->addWidget(m_okButton, 0, Qt::AlignHCenter);

  connect(m_editSettingsBox, &QListWidget::currentRowChanged, this, [this] { EditSettingsBoxClick(); });
  connect(m_trueButton, &QRadioButton::clicked, this, [this] { SettingTrueRadioBtnClick(); });
  connect(m_falseButton, &QRadioButton::clicked, this, [this] { SettingFalseRadioBtnClick(); });
  connect(m_okButton, &QPushButton::clicked, this, [this] { SettingsOkButtonClick(); });
}

void TCustomizeSettings::FillList(TOrmelSettings& store) {
  m_store = &store;
  m_editSettingsBox->clear();
  for (int i = 0; i < store.count(); ++i) {
    TOrmelSetting setting;
    store.getSetting(i, setting);
    m_editSettingsBox->addItem(QString::fromStdString(setting.caption));
  }
  // Selecting the first line runs EditSettingsBoxClick through the list's signal.
  m_editSettingsBox->setCurrentRow(0);
}

void TCustomizeSettings::EditSettingsBoxClick() {
  const int index = m_editSettingsBox->currentRow();
  if (m_store == nullptr || index < 0) return;
  TOrmelSetting setting;
  m_store->getSetting(index, setting);
  (m_store->getSettingValue(index) ? m_trueButton : m_falseButton)->setChecked(true);
  m_descriptionLabel->setLines(labelText(FormatForLabel(setting.description, kDescriptionWidth)));
  setDefaultGlow(*m_trueButton, setting.defaultValue);
  setDefaultGlow(*m_falseButton, !setting.defaultValue);
}

void TCustomizeSettings::setSelectedValue(bool value) {
  const int index = m_editSettingsBox->currentRow();
  if (m_store != nullptr && index >= 0) m_store->setSettingValue(index, value);
}

void TCustomizeSettings::SettingTrueRadioBtnClick() { setSelectedValue(true); }

void TCustomizeSettings::SettingFalseRadioBtnClick() { setSelectedValue(false); }

void TCustomizeSettings::reject() {
  if (m_store != nullptr) {
    SettingsOkButtonClick();
  } else {
    QDialog::reject();
  }
}

void TCustomizeSettings::SettingsOkButtonClick() {
  if (m_store != nullptr) m_store->ApplySettings();
  m_store = nullptr;
  accept();
}

}  // namespace ormel
