#pragma once

#include <string>
#include <vector>

#include "config/window_port.h"

namespace ormel {

/// A window without a display: it keeps what the stores set, for the terminal companion and tests.
class HeadlessWindow : public MainWindowFrame, public ScratchPadLook {
 public:
  /// The screen size that first-run placement is computed from.
  explicit HeadlessWindow(ScreenSize screen = {1280, 1024}) : m_screen(screen) {}

  [[nodiscard]] WindowBounds bounds() const override { return m_bounds; }
  void setBounds(const WindowBounds& bounds) override { m_bounds = bounds; }
  [[nodiscard]] ScreenSize screenSize() const override { return m_screen; }
  void setAlwaysOnTop(bool onTop) override { m_alwaysOnTop = onTop; }

  [[nodiscard]] int fontSize() const override { return m_fontSize; }
  void setFontSize(int points) override { m_fontSize = points; }
  void setFontFace(const std::string& face) override { m_fontFace = face; }
  void setDefaultTextColor(Color color) override { m_textColor = color; }
  void setBackgroundColor(Color color) override { m_backgroundColor = color; }

  [[nodiscard]] bool alwaysOnTop() const { return m_alwaysOnTop; }
  [[nodiscard]] const std::string& fontFace() const { return m_fontFace; }
  [[nodiscard]] Color defaultTextColor() const { return m_textColor; }
  [[nodiscard]] Color backgroundColor() const { return m_backgroundColor; }

 private:
  ScreenSize m_screen;
  WindowBounds m_bounds{};
  bool m_alwaysOnTop = false;
  int m_fontSize = 10;
  std::string m_fontFace;
  Color m_textColor = 0;
  Color m_backgroundColor = 0xFFFFFF;
};

/// An action list held in memory.
class MemoryActionList : public ActionList {
 public:
  struct Action {
    std::string caption;
    std::string category;
    std::string hint;
    ShortCut shortCut = 0;
  };

  MemoryActionList() = default;
  explicit MemoryActionList(std::vector<Action> actions) : m_actions(std::move(actions)) {}

  [[nodiscard]] int count() const override { return static_cast<int>(m_actions.size()); }
  [[nodiscard]] std::string caption(int index) const override { return at(index).caption; }
  [[nodiscard]] std::string category(int index) const override { return at(index).category; }
  [[nodiscard]] std::string hint(int index) const override { return at(index).hint; }
  [[nodiscard]] ShortCut shortCut(int index) const override { return at(index).shortCut; }
  void setShortCut(int index, ShortCut code) override {
    m_actions.at(static_cast<std::size_t>(index)).shortCut = code;
  }

  [[nodiscard]] const std::vector<Action>& actions() const { return m_actions; }

 private:
  [[nodiscard]] const Action& at(int index) const { return m_actions.at(static_cast<std::size_t>(index)); }
  std::vector<Action> m_actions;
};

}  // namespace ormel
