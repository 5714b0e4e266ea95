#include "ui/qt_widgets.h"

#include <QComboBox>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLineEdit>

#include "ui/qt_text_control.h"

namespace ormel {

QtLabel::QtLabel(QLabel& label) : m_label(&label) {}

std::string QtLabel::caption() const { return m_label ? m_label->text().toStdString() : std::string(); }

void QtLabel::setCaption(const std::string& caption) {
  if (m_label) m_label->setText(QString::fromStdString(caption));
}

void QtLabel::setTextColor(Color color) {
  if (!m_label) return;
  QPalette palette = m_label->palette();
  palette.setColor(QPalette::WindowText, toQColor(color));
  m_label->setPalette(palette);
}

std::string QtLabel::hint() const { return m_label ? m_label->toolTip().toStdString() : std::string(); }

void QtLabel::setHint(const std::string& hint) {
  if (!m_label) return;
  // Hints come with CR LF line ends; a tooltip breaks lines at LF alone.
  QString text = QString::fromStdString(hint);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  m_label->setToolTip(text);
}

void QtLabel::setCaptionGlow(bool on) {
  if (!m_label) return;
  if (!on) {
    m_label->setGraphicsEffect(nullptr);
    return;
  }
  auto* glow = new QGraphicsDropShadowEffect(m_label);
  glow->setOffset(0, 0);
  glow->setBlurRadius(8);
  glow->setColor(QColor(255, 255, 160));
  m_label->setGraphicsEffect(glow);
}

QtComboBox::QtComboBox(QComboBox& comboBox) : m_comboBox(&comboBox) {}

void QtComboBox::clearItems() {
  if (!m_comboBox) return;
  // Emptying the list must not empty what the user is typing.
  const QString text = m_comboBox->currentText();
  m_comboBox->clear();
  m_comboBox->setEditText(text);
}

void QtComboBox::addItem(const std::string& item) {
  if (!m_comboBox) return;
  const QString text = m_comboBox->currentText();
  m_comboBox->addItem(QString::fromStdString(item));
  m_comboBox->setEditText(text);
}

void QtComboBox::setItems(const std::vector<std::string>& items) {
  if (!m_comboBox) return;
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(items.size()));
  for (const std::string& item : items) texts.push_back(QString::fromStdString(item));
  const QString text = m_comboBox->currentText();
  m_comboBox->clear();
  m_comboBox->addItems(texts);
  m_comboBox->setEditText(text);
}

int QtComboBox::itemCount() const { return m_comboBox ? m_comboBox->count() : 0; }

std::string QtComboBox::item(int i) const {
  return m_comboBox ? m_comboBox->itemText(i).toStdString() : std::string();
}

std::string QtComboBox::text() const {
  return m_comboBox ? m_comboBox->currentText().toStdString() : std::string();
}

void QtComboBox::setText(const std::string& text) {
  if (m_comboBox) m_comboBox->setEditText(QString::fromStdString(text));
}

}  // namespace ormel
