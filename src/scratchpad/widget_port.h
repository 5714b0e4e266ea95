#pragma once

#include <string>
#include <vector>

#include "base/setting_value.h"

namespace ormel {

/// A label: a caption, its text colour, a hint (the tooltip) and an optional caption glow.
class Label {
 public:
  virtual ~Label() = default;
  [[nodiscard]] virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& caption) = 0;
  virtual void setTextColor(Color color) = 0;
  [[nodiscard]] virtual std::string hint() const = 0;
  virtual void setHint(const std::string& hint) = 0;
  virtual void setCaptionGlow(bool on) = 0;
};

/// A drop-down's one-shot mark. The variable editor sets it when Enter accepts its text, so that
/// the scratch pad ignores the release of that same Enter; the scratch pad clears it.
enum class DropDownTag { kNone = 0, kSkipNextKeyUp = 1 };

/// An editable drop-down: its list of items, the edit text and a tag.
class ComboBox {
 public:
  virtual ~ComboBox() = default;
  virtual void clearItems() = 0;
  virtual void addItem(const std::string& item) = 0;
  /// Replaces the whole list with items in one go; the edit text stays.
  virtual void setItems(const std::vector<std::string>& items) = 0;
  [[nodiscard]] virtual int itemCount() const = 0;
  /// Item i, 0 <= i < itemCount().
  [[nodiscard]] virtual std::string item(int i) const = 0;
  [[nodiscard]] virtual std::string text() const = 0;
  virtual void setText(const std::string& text) = 0;
  [[nodiscard]] virtual DropDownTag tag() const = 0;
  virtual void setTag(DropDownTag tag) = 0;
};

}  // namespace ormel
