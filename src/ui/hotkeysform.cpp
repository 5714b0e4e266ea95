#include "ui/hotkeysform.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/utility_routines.h"
#include "config/hotkey_choices.h"
#include "config/shortcut_text.h"
#include "ui/dialog_parts.h"

namespace ormel {
namespace {

constexpr int kActionRole = Qt::UserRole;

}  // namespace

TCustomizeHotkeys::TCustomizeHotkeys(QWidget* owner)
    : OrmelDialog(owner, QStringLiteral("Customize Hotkeys"), kClientWidth, kClientHeight, false) {
  setObjectName(QStringLiteral("CustomizeHotkeys"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);

  const ListWithDescription parts = addListWithDescription(
      *layout, this, QStringLiteral("HotkeysGroupBox"), QStringLiteral("Available Hotkeys"),
      QStringLiteral("EditHotKeysBox"), QStringLiteral("Hotkey Description"));
  m_editHotKeysBox = parts.list;
  m_descriptionLabel = parts.description;

  QGroupBox* editBox =
      groupBox(QStringLiteral("HotkeysEditGroupBox"), QStringLiteral("Hotkey For Selected Action"), this);
  m_editHotKeysEditBox = new QComboBox(editBox);
  m_editHotKeysEditBox->setObjectName(QStringLiteral("EditHotKeysEditBox"));
  m_editHotKeysEditBox->setEditable(true);
  m_editHotKeysEditBox->setInsertPolicy(QComboBox::NoInsert);
  // Completion would change what the user typed; the box keeps the text as typed.
  m_editHotKeysEditBox->setCompleter(nullptr);
  m_editHotKeysEditBox->setMaxVisibleItems(16);
  for (const std::string& choice : hotkeyChoices())
    m_editHotKeysEditBox->addItem(QString::fromStdString(choice));
  m_editHotKeysEditBox->setEditText(QString());
  (new QVBoxLayout(editBox))->addWidget(m_editHotKeysEditBox);
  layout->addWidget(editBox);

  m_okButton = new QPushButton(QStringLiteral("Ok"), this);
  m_okButton->setObjectName(QStringLiteral("HotkeysOkButton"));
  m_okButton->setAutoDefault(false);
  layout->addWidget(m_okButton, 0, Qt::AlignHCenter);

  connect(m_editHotKeysBox, &QListWidget::currentRowChanged, this, [this] { EditHotKeysBoxClick(); });
  connect(m_editHotKeysEditBox, &QComboBox::editTextChanged, this,
          [this](const QString& text) { EditHotKeysEditBoxChange(text); });
  connect(m_okButton, &QPushButton::clicked, this, [this] { HotkeysOkButtonClick(); });
}

void TCustomizeHotkeys::FillList(ActionList& actions) {
  m_actions = &actions;
  m_editHotKeysBox->clear();
  for (const HotkeyLine& line : hotkeyLines(actions)) {
    auto* item = new QListWidgetItem(QString::fromStdString(line.caption), m_editHotKeysBox);
    item->setData(kActionRole, line.action);
  }
  // Selecting the first line runs EditHotKeysBoxClick through the list's signal.
  m_editHotKeysBox->setCurrentRow(0);
}

void TCustomizeHotkeys::EditHotKeysBoxClick() {
  const QListWidgetItem* line = m_editHotKeysBox->currentItem();
  if (m_actions == nullptr || line == nullptr) return;
  const int action = line->data(kActionRole).toInt();
  m_editHotKeysEditBox->setEditText(QString::fromStdString(shortCutToText(m_actions->shortCut(action))));
  m_descriptionLabel->clear();
  m_descriptionLabel->setLines(labelText(FormatForLabel(m_actions->hint(action), kDescriptionWidth)));
}

void TCustomizeHotkeys::EditHotKeysEditBoxChange(const QString& text) {
  const QListWidgetItem* line = m_editHotKeysBox->currentItem();
  if (m_actions == nullptr || line == nullptr) return;
  setShortCutByCaption(*m_actions, line->text().toStdString(), text.toStdString());
}

void TCustomizeHotkeys::HotkeysOkButtonClick() {
  m_actions = nullptr;
  accept();
}

}  // namespace ormel
