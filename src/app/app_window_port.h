#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/file_dialog_port.h"
#include "base/message_box_port.h"
#include "base/timer_port.h"
#include "config/prefs.h"
#include "config/settings.h"
#include "config/window_port.h"
#include "scratchpad/text_control_port.h"
#include "scratchpad/widget_port.h"

namespace ormel {

class THTTPGet;
class UpdateWindow;

/// Where one of the main window's dockable toolbars stands, as toolbars.ini keeps it.
struct ToolbarPlace {
  /// The toolbar's component name: "VarsToolbar", "FuncsToolbar" or "VarsTextToolbar".
  std::string name;
  bool visible = true;
  /// "TopDock", "BottomDock", "+" for a floating toolbar, or empty.
  std::string dockedTo;
  std::string lastDock;
  int dockRow = 0;
  int dockPos = 0;
  int floatLeft = 0;
  int floatTop = 0;
  int floatRightX = 0;
  int displayMode = 0;
  friend bool operator==(const ToolbarPlace&, const ToolbarPlace&) = default;
};

/// A modal dialog of the program, created on demand with the main window as its owner.
class ModalDialog {
 public:
  virtual ~ModalDialog() = default;
  /// Keeps the dialog above other windows (true) or lets it be a normal window.
  virtual void setStayOnTop(bool onTop) = 0;
  /// Shows the dialog and returns when it has closed.
  virtual void showModal() = 0;
};

/// The switches dialog: every click changes the store at once; its OK applies "AlwaysOnTop".
class SettingsDialog : public ModalDialog {
 public:
  /// Lists the store's switches and selects the first; the store must outlive the dialog.
  virtual void FillList(TOrmelSettings& store) = 0;
};

/// The preferences dialog: every choice but the separator reaches the store at once; its OK
/// stores the separator and applies background, text colour and font.
class PrefsDialog : public ModalDialog {
 public:
  /// Shows the store's values; the store must outlive the dialog.
  virtual void Init(TOrmelPrefs& store) = 0;
};

/// The hot keys dialog: every change of the shortcut text sets the action's shortcut at once.
class HotkeysDialog : public ModalDialog {
 public:
  /// Lists the "ormelCuts" actions and selects the first; the list must outlive the dialog.
  virtual void FillList(ActionList& actions) = 0;
};

/// The main window as the application manager uses it: its widgets behind the scratch-pad and
/// store interfaces, its toolbars and its dialogs.
class AppWindow {
 public:
  virtual ~AppWindow() = default;

  [[nodiscard]] virtual TextControl& scratchPad() = 0;
  [[nodiscard]] virtual ScratchPadLook& scratchPadLook() = 0;
  [[nodiscard]] virtual MainWindowFrame& frame() = 0;
  [[nodiscard]] virtual ActionList& actions() = 0;
  [[nodiscard]] virtual ComboBox& funcsDropDown() = 0;
  [[nodiscard]] virtual ComboBox& varsDropDown() = 0;
  [[nodiscard]] virtual Label& varsTextLabel() = 0;
  [[nodiscard]] virtual Label& varsLabelItem() = 0;
  [[nodiscard]] virtual Label& statusText() = 0;
  [[nodiscard]] virtual MessageBox& messageBox() = 0;
  /// A new window timer, off.
  [[nodiscard]] virtual std::unique_ptr<Timer> createTimer() = 0;
  /// The window's download component, which the update check fetches its files with.
  [[nodiscard]] virtual THTTPGet& GetUpdate() = 0;
  /// The window as the update check hides, shows and closes it.
  [[nodiscard]] virtual UpdateWindow& updateWindow() = 0;
  /// The file dialog for saving the scratch pad elsewhere when its own file cannot be written.
  [[nodiscard]] virtual FileDialog& fileDialog() = 0;

  /// How long the pointer rests before a hint shows, and how soon the hint of the next control
  /// shows while one is showing, in milliseconds.
  virtual void setHintTiming(int pauseMs, int shortPauseMs) = 0;

  /// The current place of each dockable toolbar, in the order FuncsToolbar, VarsToolbar,
  /// VarsTextToolbar.
  [[nodiscard]] virtual std::vector<ToolbarPlace> toolbarPlaces() const = 0;
  /// Shows or hides the toolbar named place.name.
  virtual void setToolbarVisible(const std::string& name, bool visible) = 0;
  /// Docks the toolbar into the named dock at the row and position, or floats it ("+") at the
  /// floating place; a dock name that matches no dock changes nothing.
  virtual void placeToolbar(const ToolbarPlace& place) = 0;

  /// New dialogs owned by the window, not yet shown; null while the program has none.
  [[nodiscard]] virtual std::unique_ptr<SettingsDialog> createSettingsDialog() = 0;
  [[nodiscard]] virtual std::unique_ptr<PrefsDialog> createPrefsDialog() = 0;
  [[nodiscard]] virtual std::unique_ptr<HotkeysDialog> createHotkeysDialog() = 0;
  [[nodiscard]] virtual std::unique_ptr<ModalDialog> createAboutDialog() = 0;
};

}  // namespace ormel
