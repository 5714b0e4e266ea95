#pragma once

#include <string>
#include <utility>
#include <vector>

#include "scratchpad/widget_port.h"

namespace ormel {

/// A label without a display.
class MemoryLabel final : public Label {
 public:
  MemoryLabel(std::string caption = {}, std::string hint = {}, Color color = 0)
      : m_caption(std::move(caption)), m_hint(std::move(hint)), m_color(color) {}
  [[nodiscard]] std::string caption() const override { return m_caption; }
  void setCaption(const std::string& caption) override { m_caption = caption; }
  void setTextColor(Color color) override { m_color = color; }
  [[nodiscard]] Color textColor() const { return m_color; }
  [[nodiscard]] std::string hint() const override { return m_hint; }
  void setHint(const std::string& hint) override { m_hint = hint; }
  void setCaptionGlow(bool on) override { m_glow = on; }
  [[nodiscard]] bool captionGlow() const { return m_glow; }

 private:
  std::string m_caption;
  std::string m_hint;
  Color m_color;
  bool m_glow = false;
};

/// A drop-down without a display.
class MemoryComboBox final : public ComboBox {
 public:
  void clearItems() override { m_items.clear(); }
  void addItem(const std::string& item) override { m_items.push_back(item); }
  void setItems(const std::vector<std::string>& items) override { m_items = items; }
  [[nodiscard]] int itemCount() const override { return static_cast<int>(m_items.size()); }
  [[nodiscard]] std::string item(int i) const override { return m_items.at(static_cast<std::size_t>(i)); }
  [[nodiscard]] std::string text() const override { return m_text; }
  void setText(const std::string& text) override { m_text = text; }
  [[nodiscard]] DropDownTag tag() const override { return m_tag; }
  void setTag(DropDownTag tag) override { m_tag = tag; }

 private:
  std::vector<std::string> m_items;
  std::string m_text;
  DropDownTag m_tag = DropDownTag::kNone;
};

}  // namespace ormel
