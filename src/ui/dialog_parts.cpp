#include "ui/dialog_parts.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <algorithm>

namespace ormel {

namespace {

constexpr qreal kSmallestPoints = 6;

}  // namespace

BrokenLinesLabel::BrokenLinesLabel(QWidget* parent) : QLabel(parent) { setWordWrap(false); }

void BrokenLinesLabel::setLines(const QString& text) {
  setText(text);
  fitFont();
}

void BrokenLinesLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  fitFont();
}

void BrokenLinesLabel::fitFont() {
  const QStringList lines = text().split(QChar('\n'));
  const int room = contentsRect().width();
  QFont font = parentWidget() != nullptr ? parentWidget()->font() : QFont();
  for (qreal points = font.pointSizeF(); points > kSmallestPoints; points -= 0.5) {
    font.setPointSizeF(points);
    const QFontMetrics metrics(font);
    const auto fits = [&](const QString& line) { return metrics.horizontalAdvance(line) <= room; };
    if (std::all_of(lines.begin(), lines.end(), fits)) break;
  }
  if (font.pointSizeF() < kSmallestPoints) font.setPointSizeF(kSmallestPoints);
  setFont(font);
}

QGroupBox* groupBox(const QString& name, const QString& title, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  return box;
}

ListWithDescription addListWithDescription(QBoxLayout& layout, QWidget* parent, const QString& frameName,
                                           const QString& frameTitle, const QString& listName,
                                           const QString& descriptionTitle) {
  QGroupBox* listBox = groupBox(frameName, frameTitle, parent);
  auto* list = new QListWidget(listBox);
  list->setObjectName(listName);
  (new QVBoxLayout(listBox))->addWidget(list);
  layout.addWidget(listBox, 3);

  QGroupBox* descriptionBox = groupBox(QStringLiteral("DescriptionGroupBox"), descriptionTitle, parent);
  auto* description = new BrokenLinesLabel(descriptionBox);
  description->setObjectName(QStringLiteral("DescriptionLabel"));
  description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  (new QVBoxLayout(descriptionBox))->addWidget(description);
  layout.addWidget(descriptionBox, 2);
  return {list, description};
}

}  // namespace ormel
