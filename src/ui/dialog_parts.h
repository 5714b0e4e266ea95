#pragma once

#include <QLabel>
#include <QString>

class QBoxLayout;
class QGroupBox;
class QListWidget;
class QWidget;

namespace ormel {

/// The width in characters at which dialogs wrap a description.
inline constexpr int kDescriptionWidth = 40;

/// A label for text whose lines come broken already: it never wraps them again, and its font
/// shrinks (never below a readable floor) until the widest line fits its width.
class BrokenLinesLabel final : public QLabel {
  Q_OBJECT

 public:
  explicit BrokenLinesLabel(QWidget* parent);
  void setLines(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fitFont();
};

/// A group frame with a title, with the object name given.
[[nodiscard]] QGroupBox* groupBox(const QString& name, const QString& title, QWidget* parent);

/// The upper part the switches and hot keys dialogs share: a group frame holding a list box,
/// then the group frame "DescriptionGroupBox" holding the top-aligned "DescriptionLabel".
struct ListWithDescription {
  QListWidget* list;
  BrokenLinesLabel* description;
};

/// Adds both frames to layout, the list taking more of the height than the description.
[[nodiscard]] ListWithDescription addListWithDescription(QBoxLayout& layout, QWidget* parent,
                                                         const QString& frameName, const QString& frameTitle,
                                                         const QString& listName,
                                                         const QString& descriptionTitle);

}  // namespace ormel
