#pragma once

#include <cstdint>
#include <string>

#include "base/setting_value.h"

namespace ormel {

/// The main window's left, top, width and height in screen pixels.
struct WindowBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const WindowBounds&, const WindowBounds&) = default;
};

/// A size in pixels.
struct ScreenSize {
  int width = 0;
  int height = 0;
};

/// The main window as the switches store sees it.
class MainWindowFrame {
 public:
  virtual ~MainWindowFrame() = default;
  [[nodiscard]] virtual WindowBounds bounds() const = 0;
  /// Moves and sizes the window as given, without checking against the screen.
  virtual void setBounds(const WindowBounds& bounds) = 0;
  /// The size of the screen the window lives on.
  [[nodiscard]] virtual ScreenSize screenSize() const = 0;
  /// The part of the screen a window may take (without panels), in screen pixels; the whole
  /// screen unless the window system says less.
  [[nodiscard]] virtual WindowBounds availableArea() const {
    const ScreenSize screen = screenSize();
    return {0, 0, screen.width, screen.height};
  }
  /// Keeps the window above all others (true) or returns it among them, keeping its bounds.
  virtual void setAlwaysOnTop(bool onTop) = 0;
};

/// The scratch pad's look, as the switches and preferences stores set it.
class ScratchPadLook {
 public:
  virtual ~ScratchPadLook() = default;
  /// Whole points.
  [[nodiscard]] virtual int fontSize() const = 0;
  virtual void setFontSize(int points) = 0;
  /// The following take effect at once for the whole control.
  virtual void setFontFace(const std::string& face) = 0;
  virtual void setDefaultTextColor(Color color) = 0;
  virtual void setBackgroundColor(Color color) = 0;
};

/// A 16-bit shortcut code: virtual-key code in the low byte, modifier bits in the high byte.
using ShortCut = std::uint16_t;

/// The main window's actions in list order, as the hot key store and its dialog use them.
class ActionList {
 public:
  virtual ~ActionList() = default;
  [[nodiscard]] virtual int count() const = 0;
  /// The following take an index from 0 to count() - 1.
  [[nodiscard]] virtual std::string caption(int index) const = 0;
  [[nodiscard]] virtual std::string category(int index) const = 0;
  [[nodiscard]] virtual std::string hint(int index) const = 0;
  [[nodiscard]] virtual ShortCut shortCut(int index) const = 0;
  /// 0 removes the shortcut.
  virtual void setShortCut(int index, ShortCut code) = 0;
};

}  // namespace ormel
