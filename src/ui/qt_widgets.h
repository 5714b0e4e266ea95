#pragma once

#include <QPointer>

#include "scratchpad/widget_port.h"

class QComboBox;
class QLabel;

namespace ormel {

/// A label of the window: the caption is the label's text, the hint its tooltip.
class QtLabel final : public Label {
 public:
  /// The label must outlive this object or be destroyed with the window.
  explicit QtLabel(QLabel& label);
  [[nodiscard]] std::string caption() const override;
  void setCaption(const std::string& caption) override;
  void setTextColor(Color color) override;
  [[nodiscard]] std::string hint() const override;
  void setHint(const std::string& hint) override;
  /// A soft halo around the caption's letters.
  void setCaptionGlow(bool on) override;

 private:
  QPointer<QLabel> m_label;
};

/// An editable drop-down of the window; the tag is kept here.
class QtComboBox final : public ComboBox {
 public:
  explicit QtComboBox(QComboBox& comboBox);
  void clearItems() override;
  void addItem(const std::string& item) override;
  void setItems(const std::vector<std::string>& items) override;
  [[nodiscard]] int itemCount() const override;
  [[nodiscard]] std::string item(int i) const override;
  [[nodiscard]] std::string text() const override;
  void setText(const std::string& text) override;
  [[nodiscard]] DropDownTag tag() const override { return m_tag; }
  void setTag(DropDownTag tag) override { m_tag = tag; }

 private:
  QPointer<QComboBox> m_comboBox;
  DropDownTag m_tag = DropDownTag::kNone;
};

}  // namespace ormel
