#pragma once

#include "scratchpad/text_control_port.h"

namespace ormel {

/// A text control that passes every operation on to another one, which can be changed: the
/// logic can then work for a while on a copy of the pad (an in-memory one, far faster for a
/// run over every line) without knowing it.
class ForwardingTextControl final : public TextControl {
 public:
  /// The target must outlive its use here.
  explicit ForwardingTextControl(TextControl& target) : m_target(&target) {}

  void setTarget(TextControl& target) { m_target = &target; }
  [[nodiscard]] TextControl& target() const { return *m_target; }

  [[nodiscard]] int lineCount() const override { return m_target->lineCount(); }
  [[nodiscard]] std::string line(int n) const override { return m_target->line(n); }
  [[nodiscard]] int lineLength(int n) const override { return m_target->lineLength(n); }
  void setLine(int n, std::string_view text) override { m_target->setLine(n, text); }
  [[nodiscard]] int caretLine() const override { return m_target->caretLine(); }
  [[nodiscard]] int lineStart(int n) const override { return m_target->lineStart(n); }
  [[nodiscard]] int textLength() const override { return m_target->textLength(); }
  [[nodiscard]] int selStart() const override { return m_target->selStart(); }
  void setSelStart(int position) override { m_target->setSelStart(position); }
  [[nodiscard]] int selLength() const override { return m_target->selLength(); }
  void setSelLength(int length) override { m_target->setSelLength(length); }
  [[nodiscard]] std::string selText() const override { return m_target->selText(); }
  void setSelText(std::string_view text) override { m_target->setSelText(text); }
  [[nodiscard]] CharStyle selAttributes() const override { return m_target->selAttributes(); }
  void setSelAttributes(CharStyle style) override { m_target->setSelAttributes(style); }
  [[nodiscard]] CharStyle styleAt(int position) const override { return m_target->styleAt(position); }
  [[nodiscard]] char16_t characterAt(int position) const override { return m_target->characterAt(position); }
  void scrollToCaret() override { m_target->scrollToCaret(); }
  void caretToEndOfLine() override { m_target->caretToEndOfLine(); }
  void clear() override { m_target->clear(); }
  void saveContent(const std::string& path) const override { m_target->saveContent(path); }
  void loadContent(const std::string& path) override { m_target->loadContent(path); }

 private:
  TextControl* m_target;
};

}  // namespace ormel
