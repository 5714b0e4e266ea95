#include "ui/dialog_parts.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>

namespace ormel {

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
  auto* description = new QLabel(descriptionBox);
  description->setObjectName(QStringLiteral("DescriptionLabel"));
  description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The text comes broken at 40 characters; a line still too wide for the font wraps again.
  description->setWordWrap(true);
  (new QVBoxLayout(descriptionBox))->addWidget(description);
  layout.addWidget(descriptionBox, 2);
  return {list, description};
}

}  // namespace ormel
