#pragma once

#include <QString>

class QBoxLayout;
class QGroupBox;
class QLabel;
class QListWidget;
class QWidget;

namespace ormel {

/// The width in characters at which dialogs wrap a description.
inline constexpr int kDescriptionWidth = 40;

/// A group frame with a title, with the object name given.
[[nodiscard]] QGroupBox* groupBox(const QString& name, const QString& title, QWidget* parent);

/// The upper part the switches and hot keys dialogs share: a group frame holding a list box,
/// then the group frame "DescriptionGroupBox" holding the top-aligned "DescriptionLabel".
struct ListWithDescription {
  QListWidget* list;
  QLabel* description;
};

/// Adds both frames to layout, the list taking more of the height than the description.
[[nodiscard]] ListWithDescription addListWithDescription(QBoxLayout& layout, QWidget* parent,
                                                         const QString& frameName, const QString& frameTitle,
                                                         const QString& listName,
                                                         const QString& descriptionTitle);

}  // namespace ormel
