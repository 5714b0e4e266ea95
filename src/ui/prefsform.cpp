#include "ui/prefsform.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "config/prefs.h"
#include "config/prefs_choices.h"
#include "ui/dialog_parts.h"
#include "ui/qt_text_control.h"

namespace ormel {
namespace {

constexpr QSize kSwatchSize{81, 25};
constexpr QSize kDefaultSwatchSize{81, 17};
constexpr int kSampleTextPixels = 13;

// The swatches are kept in the order of the preferences' numbers.
std::size_t slotOf(ColorPref preference) { return static_cast<std::size_t>(preference) - 1; }

}  // namespace

ColorSwatch::ColorSwatch(const QString& name, ColorPref preference, QSize size, QWidget* parent)
    : QWidget(parent), m_preference(preference) {
  setObjectName(name);
  setFixedSize(size);
  setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::setColor(const QColor& color) {
  m_color = color;
  update();
}

void ColorSwatch::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), m_color);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorSwatch::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit pressed();
}

TCustomizePreferences::TCustomizePreferences(QWidget* owner, QFont scratchPadFont)
    : OrmelDialog(owner, QStringLiteral("Customize Preferences"), kClientWidth, kClientHeight, false),
      m_scratchPadFont(std::move(scratchPadFont)) {
  setObjectName(QStringLiteral("CustomizePreferences"));
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setVerticalSpacing(4);
  buildFontBox(this, layout);
  buildCursorBox(this, layout);
  buildNumberBoxes(this, layout);
  buildColorBoxes(this, layout);
  m_okButton = new QPushButton(QStringLiteral("Ok"), this);
  m_okButton->setObjectName(QStringLiteral("SettingsOkButton"));
  m_okButton->setDefault(true);
  layout->addWidget(m_okButton, 4, 1, Qt::AlignRight | Qt::AlignBottom);
  layout->setColumnStretch(1, 1);
  connect(m_okButton, &QPushButton::clicked, this, [this] { SettingsOkButtonClick(); });
}

void TCustomizePreferences::buildFontBox(QWidget* parent, QGridLayout* layout) {
  QGroupBox* box = groupBox(QStringLiteral("FontsBox"), QStringLiteral("Font"), parent);
  m_fontsList = new QComboBox(box);
  m_fontsList->setObjectName(QStringLiteral("FontsList"));
  m_fontsList->setEditable(false);
  m_sampleText = new QLabel(QStringLiteral("Sample (5 + 9 / 2)"), box);
  m_sampleText->setObjectName(QStringLiteral("SampleText"));
  m_sampleText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QFont sample = m_sampleText->font();
  sample.setBold(true);
  sample.setPixelSize(kSampleTextPixels);
  m_sampleText->setFont(sample);
  auto* boxLayout = new QVBoxLayout(box);
  boxLayout->addWidget(m_fontsList);
  boxLayout->addWidget(m_sampleText);
  layout->addWidget(box, 0, 0);
  connect(m_fontsList, &QComboBox::activated, this, [this](int index) { FontsListSelect(index); });
}

void TCustomizePreferences::buildCursorBox(QWidget* parent, QGridLayout* layout) {
  QGroupBox* box = groupBox(QStringLiteral("ResetCursorPositionBox"),
                            QStringLiteral("Cursor placement after calculation"), parent);
  auto* boxLayout = new QVBoxLayout(box);
  const std::array<std::pair<const char*, const char*>, 3> buttons{{
      {"CursorEndOfExpressionRadio", "End of expression"},
      {"CursorEndOfAnswerRadio", "End of answer"},
      {"CursorNewLineRadio", "New line after answer"},
  }};
  for (int number = 0; number < static_cast<int>(buttons.size()); ++number) {
    const auto& [name, caption] = buttons[static_cast<std::size_t>(number)];
    auto* button = new QRadioButton(QString::fromLatin1(caption), box);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("Tag", number);
    boxLayout->addWidget(button);
    connect(button, &QRadioButton::clicked, this, [this, number] { CursorPlacementRadioClick(number); });
    m_cursorButtons[static_cast<std::size_t>(number)] = button;
  }
  layout->addWidget(box, 1, 0);
}

void TCustomizePreferences::buildNumberBoxes(QWidget* parent, QGridLayout* layout) {
  QGroupBox* placesBox =
      groupBox(QStringLiteral("DecimalPlacesBox"), QStringLiteral("Maximum decimal places"), parent);
  m_decimalPlaces = new QComboBox(placesBox);
  m_decimalPlaces->setObjectName(QStringLiteral("DecimalPlacesDropBox"));
  m_decimalPlaces->setEditable(false);
  for (const std::string& entry : decimalPlacesEntries())
    m_decimalPlaces->addItem(QString::fromStdString(entry));
  auto* placesLayout = new QHBoxLayout(placesBox);
  placesLayout->addWidget(m_decimalPlaces);
  placesLayout->addStretch(1);
  connect(m_decimalPlaces, &QComboBox::activated, this,
          [this](int index) { DecimalPlacesDropBoxSelect(index); });
  layout->addWidget(placesBox, 2, 0);

  QGroupBox* separatorBox =
      groupBox(QStringLiteral("DecimalSeparatorBox"), QStringLiteral("Decimal seperator"), parent);
  m_separatorEdit = new QLineEdit(separatorBox);
  m_separatorEdit->setObjectName(QStringLiteral("DecimalSeparatorEdit"));
  m_separatorEdit->setMaxLength(1);
  m_separatorEdit->setFixedWidth(m_separatorEdit->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 12);
  connect(m_separatorEdit, &QLineEdit::textEdited, this, [this] { checkSeparatorField(); });
  m_separatorMessage = new QLabel(separatorBox);
  m_separatorMessage->setObjectName(QStringLiteral("DecimalSeparatorMessage"));
  m_separatorMessage->setWordWrap(true);
  QFont small = m_separatorMessage->font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  m_separatorMessage->setFont(small);
  QPalette palette = m_separatorMessage->palette();
  palette.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
  m_separatorMessage->setPalette(palette);
  m_separatorMessage->hide();
  auto* separatorLayout = new QHBoxLayout(separatorBox);
  separatorLayout->addWidget(m_separatorEdit, 0, Qt::AlignLeft | Qt::AlignTop);
  separatorLayout->addWidget(m_separatorMessage, 1);
  layout->addWidget(separatorBox, 3, 0, 2, 1);
}

void TCustomizePreferences::buildColorBoxes(QWidget* parent, QGridLayout* layout) {
  QGroupBox* colors = groupBox(QStringLiteral("ColorsGroupBox"), QStringLiteral("Colors"), parent);
  auto* colorsLayout = new QVBoxLayout(colors);
  colorsLayout->setContentsMargins(6, 4, 6, 6);
  colorsLayout->setSpacing(2);
  struct Frame {
    ColorPref preference;
    const char* name;
    const char* title;
  };
  // The function colour's swatch keeps its historical widget name.
  const std::array<Frame, 4> frames{{
      {ColorPref::RegExp, "RegExpColor", "Regular expression"},
      {ColorPref::Answer, "AnswerColor", "Answer"},
      {ColorPref::Function, "ResWordColor", "Function"},
      {ColorPref::Background, "BackgroundColor", "Background"},
  }};
  for (const auto& [preference, name, title] : frames) {
    const QString swatchName = QString::fromLatin1(name);
    QGroupBox* frame = groupBox(swatchName + QStringLiteral("Box"), QString::fromLatin1(title), colors);
    auto* swatch = new ColorSwatch(swatchName, preference, kSwatchSize, frame);
    auto* defaultSwatch =
        new ColorSwatch(swatchName + QStringLiteral("Default"), preference, kDefaultSwatchSize, frame);
    auto* frameLayout = new QGridLayout(frame);
    frameLayout->setContentsMargins(6, 2, 6, 4);
    frameLayout->setVerticalSpacing(3);
    frameLayout->addWidget(swatch, 0, 0);
    frameLayout->addWidget(new QLabel(QStringLiteral("Click to change color"), frame), 0, 1);
    frameLayout->addWidget(defaultSwatch, 1, 0);
    frameLayout->addWidget(new QLabel(QStringLiteral("Click to reset to default"), frame), 1, 1);
    frameLayout->setColumnStretch(1, 1);
    colorsLayout->addWidget(frame);
    connect(swatch, &ColorSwatch::pressed, this, [this, swatch] { ChangeColorMouseDown(*swatch); });
    connect(defaultSwatch, &ColorSwatch::pressed, this,
            [this, defaultSwatch] { DefaultColorMouseDown(*defaultSwatch); });
    m_colors[slotOf(preference)] = swatch;
    m_defaultColors[slotOf(preference)] = defaultSwatch;
  }
  layout->addWidget(colors, 0, 1, 4, 1);
}

void TCustomizePreferences::Init(TOrmelPrefs& store) {
  m_store = &store;
  for (std::size_t i = 0; i < m_colors.size(); ++i) {
    const ColorPref preference = m_colors[i]->preference();
    m_colors[i]->setColor(toQColor(store.color(preference)));
    m_defaultColors[i]->setColor(toQColor(store.defaultColor(preference)));
  }

  m_fontsList->clear();
  const QStringList families = QFontDatabase::families();
  for (const QString& family : families) {
    m_fontsList->addItem(family);
    m_fontsList->setItemData(m_fontsList->count() - 1, QFont(family), Qt::FontRole);
  }
  qsizetype face = families.lastIndexOf(m_scratchPadFont.family());
  // Selecting nothing would hide which font the pad shows; the stored face stays until one is picked.
  // The pad's font, not its face alone: its size and weight take part in choosing the stand-in.
  if (face < 0) face = families.lastIndexOf(QFontInfo(m_scratchPadFont).family());
  m_fontsList->setCurrentIndex(static_cast<int>(face));

  m_decimalPlaces->setCurrentIndex(decimalPlacesEntryIndex(store.decimalPlaces()));

  if (m_fontsList->currentIndex() >= 0) {
    QFont sample = m_sampleText->font();
    sample.setFamily(m_fontsList->currentText());
    m_sampleText->setFont(sample);
  }

  m_previousSeparator = QString::fromStdString(store.decimalSeparator());
  // A longer separator from a hand-edited file is shown whole, not cut to one character.
  m_separatorEdit->setMaxLength(std::max(1, static_cast<int>(m_previousSeparator.size())));
  m_separatorEdit->setText(m_previousSeparator);
  checkSeparatorField();

  const int placement = store.cursorPlacement();
  for (std::size_t number = 0; number < m_cursorButtons.size(); ++number) {
    QRadioButton* button = m_cursorButtons[number];
    // An exclusive group cannot have all its buttons off.
    button->setAutoExclusive(false);
    button->setChecked(placement == static_cast<int>(number));
    button->setAutoExclusive(true);
  }
}

void TCustomizePreferences::FontsListSelect(int index) {
  if (m_store == nullptr || index < 0) return;
  const QString face = m_fontsList->itemText(index);
  QFont sample = m_sampleText->font();
  sample.setFamily(face);
  m_sampleText->setFont(sample);
  m_store->setSelectedFont(face.toStdString());
}

void TCustomizePreferences::CursorPlacementRadioClick(int number) {
  if (m_store != nullptr) m_store->setCursorPlacement(number);
}

void TCustomizePreferences::DecimalPlacesDropBoxSelect(int index) {
  if (m_store == nullptr || index < 0) return;
  const SettingValue entry = m_decimalPlaces->itemText(index).toStdString();
  m_store->setDecimalPlaces(static_cast<int>(entry.toInteger().value_or(0)));
}

void TCustomizePreferences::storeColor(const ColorSwatch& swatch) {
  if (m_store != nullptr) {
    m_store->setColor(swatch.preference(), fromQColor(swatch.color()));
  }
}

void TCustomizePreferences::ChangeColorMouseDown(ColorSwatch& swatch) {
  QColorDialog chooser(swatch.color(), this);
  chooser.setObjectName(QStringLiteral("ColorChooser"));
  if (chooser.exec() == QDialog::Accepted) swatch.setColor(chooser.selectedColor());
  // A cancelled chooser stores the unchanged colour again, now as an integer.
  storeColor(swatch);
}

void TCustomizePreferences::DefaultColorMouseDown(const ColorSwatch& defaultSwatch) {
  ColorSwatch& swatch = *m_colors[slotOf(defaultSwatch.preference())];
  swatch.setColor(defaultSwatch.color());
  storeColor(swatch);
}

bool TCustomizePreferences::checkSeparatorField() {
  const QString text = m_separatorEdit->text();
  // What the store already holds stays acceptable, so that Ok can always close the dialog.
  const std::optional<std::string> refusal = text.isEmpty() || text == m_previousSeparator
                                                 ? std::nullopt
                                                 : decimalSeparatorRefusal(text.toStdString());
  m_separatorMessage->setText(refusal ? QString::fromStdString(*refusal) : QString());
  m_separatorMessage->setVisible(refusal.has_value());
  return refusal.has_value();
}

void TCustomizePreferences::SettingsOkButtonClick() {
  if (m_store == nullptr) return;
  if (checkSeparatorField()) {
    m_separatorMessage->setText(m_separatorMessage->text() + QStringLiteral(" The separator stays \"") +
                                m_previousSeparator + QStringLiteral("\"."));
    m_separatorEdit->setText(m_previousSeparator);
    m_separatorEdit->setFocus();
    return;
  }
  storeSeparatorAndClose();
}

void TCustomizePreferences::reject() {
  if (m_store == nullptr) {
    QDialog::reject();
    return;
  }
  if (checkSeparatorField()) m_separatorEdit->setText(m_previousSeparator);
  storeSeparatorAndClose();
}

void TCustomizePreferences::storeSeparatorAndClose() {
  if (m_separatorEdit->text().isEmpty()) m_separatorEdit->setText(QStringLiteral("."));
  m_store->setDecimalSeparator(m_separatorEdit->text().toStdString());
  m_store->ApplyPrefs();
  m_store = nullptr;
  accept();
}

}  // namespace ormel
